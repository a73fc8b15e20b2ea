/* Identifies the instrument on a serial port and prints its name and
 * versions, as the VGX52 program's main screen does.
 *
 *   identify 1        the instrument on COM1
 */
#include <stdio.h>
#include <stdlib.h>

#include <brandolux.h>
#include <korvi70.h>

/* A command is repeated only while it gives no valid reply, at most 5 times in all. */
#define ATTEMPTS 5

int main(int argc, char **argv) {
    int port, typeCode = 0, version = 0, rc = Korvi70_BrakOdpowiedzi, attempt;
    char name[Korvi70_RozmiarNazwyPrzyrzadu];

    if (argc != 2 || (port = atoi(argv[1])) < 1 || port > 100) {
        fprintf(stderr, "usage: %s COM-NUMBER\n", argv[0]);
        return 2;
    }
    /* A command-line program: the libraries' messages go to stderr. */
    Brandolux_UstawInterfejs(Brandolux_InterfejsKonsola);

    /* The shared connection settings, then a direct serial link on the chosen port. */
    Korvi70_OdczytajZbiorKonfig();
    Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
    Korvi70_NrZlacza = port;
    if (Korvi70_IniZlacze(0) != 0) {
        fprintf(stderr, "COM%d cannot be opened\n", port);
        return 1;
    }

    for (attempt = 0; attempt < ATTEMPTS && rc == Korvi70_BrakOdpowiedzi; ++attempt)
        rc = Korvi70_PrzedstawSie(0, &typeCode);
    if (rc != Korvi70_Wykonano) {
        fprintf(stderr, "no instrument answers on COM%d (result %d)\n", port, rc);
        Korvi70_ZamZlacze();
        return 1;
    }
    /* The software version is shown only when it was read. */
    rc = Korvi70_BrakOdpowiedzi;
    for (attempt = 0; attempt < ATTEMPTS && rc == Korvi70_BrakOdpowiedzi; ++attempt)
        rc = Korvi70_PodWerOprogWewn(0, &version);
    if (rc != Korvi70_Wykonano) version = 0;

    Korvi70_RozszerzNazwePrzyrzadu(typeCode, name, version);
    printf("type code: %04X\n", (unsigned)typeCode);
    printf("name: %s\n", name);
    printf("hardware version: %d\n", typeCode % 8 + 1);
    printf("software version: %d\n", version);
    Korvi70_ZamZlacze();
    return 0;
}
