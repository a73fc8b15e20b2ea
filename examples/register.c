/* Reads one of the VGX52's real values and, when a value is given, writes
 * it and reads it back. Every command follows the attempt rule of the VGX52
 * program: it is repeated only while it gives no valid reply (3), at most 5
 * attempts in all, and the last result counts.
 *
 *   register 1 a              the gas constant on the instrument on COM1
 *   register 1 a 287.055      sets it for dry air
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <brandolux.h>
#include <vgx52.h>

#define ATTEMPTS 5

static int ReadReal(char code, double *value) {
    int rc = Korvi70_BrakOdpowiedzi, attempt;
    for (attempt = 0; attempt < ATTEMPTS && rc == Korvi70_BrakOdpowiedzi; ++attempt)
        rc = VGX52_PodWartFloat(0, code, value);
    return rc;
}

static int WriteReal(char code, double value) {
    int rc = Korvi70_BrakOdpowiedzi, attempt;
    for (attempt = 0; attempt < ATTEMPTS && rc == Korvi70_BrakOdpowiedzi; ++attempt)
        rc = VGX52_ZapWartFloat(0, code, value);
    return rc;
}

int main(int argc, char **argv) {
    int port, rc = 0;
    char code;
    double value = 0.0, wanted = 0.0;
    char *end = NULL;

    if (argc < 3 || argc > 4 || (port = atoi(argv[1])) < 1 || port > 100 || strlen(argv[2]) != 1) {
        fprintf(stderr, "usage: %s COM-NUMBER CODE [VALUE]\n", argv[0]);
        return 2;
    }
    code = argv[2][0];
    if (argc == 4) {
        wanted = strtod(argv[3], &end);
        if (end == argv[3] || *end != '\0') {
            fprintf(stderr, "not a number: %s\n", argv[3]);
            return 2;
        }
    }
    Brandolux_UstawInterfejs(Brandolux_InterfejsKonsola);
    Korvi70_OdczytajZbiorKonfig();
    Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
    Korvi70_NrZlacza = port;
    if (Korvi70_IniZlacze(0) != 0) {
        fprintf(stderr, "COM%d cannot be opened\n", port);
        return 1;
    }

    if (argc == 4 && (rc = WriteReal(code, wanted)) != Korvi70_Wykonano)
        fprintf(stderr, "writing %c failed (result %d)\n", code, rc);
    else if ((rc = ReadReal(code, &value)) != Korvi70_Wykonano)
        fprintf(stderr, "reading %c failed (result %d)\n", code, rc);
    else
        /* The instrument keeps single precision: 287.055 reads back as 287.05499267578125. */
        printf("%c = %.17g\n", code, value);
    Korvi70_ZamZlacze();
    return rc == Korvi70_Wykonano ? 0 : 1;
}
