/* Reads a thermometer's nominal characteristic (temperature in deg C,
 * resistance in ohms) from its TYP1 file through the TYP1 reader and prints
 * it, one row a line.
 *
 *   thermometer 1             Pt100 (2 Ni100, 3 Cu100), from the file the library knows
 *   thermometer 1 FILE        the same thermometer's table from another file
 */
#include <stdio.h>
#include <stdlib.h>

#include <brandolux.h>
#include <toolvane.h>

static double temperature[Toolvane_MaksWierszyChki];
static double resistance[Toolvane_MaksWierszyChki];

int main(int argc, char **argv) {
    int index, rows = 0, rc, row;
    const Toolvane_CzujnikTemperatury *sensor;
    const char *file;
    double *columns[2];

    if (argc < 2 || argc > 3 || (index = atoi(argv[1])) < 1 || index >= Toolvane_LiczbaCzujnikow) {
        fprintf(stderr, "usage: %s 1|2|3 [FILE]\n", argv[0]);
        return 2;
    }
    /* The reader's progress popup and its messages: none here, stderr. */
    Brandolux_UstawInterfejs(Brandolux_InterfejsKonsola);

    sensor = &Toolvane_TabelaCzujnikow[index];
    file = argc == 3 ? argv[2] : sensor->zbior;
    columns[0] = temperature;
    columns[1] = resistance;
    /* The file must be a TYP1 table of 2 columns for this thermometer's program code. */
    rc = Toolvane_OdczytZbiorDanychTyp1Prog(file, "dan", Toolvane_MaksWierszyChki, 2, columns, &rows,
                                            sensor->kodProgramu);
    if (rc != 0) {
        fprintf(stderr, "%s: no characteristic of %s (result %d)\n", file, sensor->opis, rc);
        return 1;
    }
    printf("# %s: %d rows\n", sensor->opis, rows);
    for (row = 0; row < rows; ++row) printf("%g\t%g\n", temperature[row], resistance[row]);
    return 0;
}
