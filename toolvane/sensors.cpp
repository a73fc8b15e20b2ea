// The resistance thermometers whose nominal characteristics the maker keeps
// as TYP1 files, and the characteristic last read.
#include "toolvane/data_files.h"

const Toolvane_CzujnikTemperatury Toolvane_TabelaCzujnikow[Toolvane_LiczbaCzujnikow] = {
    {0, "wybierz typ czujnika", "", ""},
    {1, "czujnik platynowy Pt100, ch-ka wg PN-83/M-53852", "P:\\Toolvane\\Dane\\ChkiTerm\\Pt100_01.Dan", "Ch-ka_Pt100"},
    {2, "czujnik niklowy Ni100, ch-ka wg PN-83/M-53852", "P:\\Toolvane\\Dane\\ChkiTerm\\Ni100_01.Dan", "Ch-ka_Ni100"},
    {3, "czujnik miedzianny Cu100, ch-ka wg PN-83/M-53852", "P:\\Toolvane\\Dane\\ChkiTerm\\Cu100_01.Dan",
     "Ch-ka_Cu100"},
};

double Toolvane_NominalnaChkaKol1[Toolvane_MaksWierszyChki];
double Toolvane_NominalnaChkaKol2[Toolvane_MaksWierszyChki];
int Toolvane_NominalnaChkaLiczbaWierszy = 0;

int Toolvane_OdczytNominalChkeCzujZeZbioru(int index) {
    // Index 0 has no file: rejected by the reader like any empty path.
    if (index < 0 || index >= Toolvane_LiczbaCzujnikow) return 1;
    const Toolvane_CzujnikTemperatury &sensor = Toolvane_TabelaCzujnikow[index];
    double *columns[2] = {Toolvane_NominalnaChkaKol1, Toolvane_NominalnaChkaKol2};
    return Toolvane_OdczytZbiorDanychTyp1Prog(sensor.zbior, "dan", Toolvane_MaksWierszyChki, 2, columns,
                                              &Toolvane_NominalnaChkaLiczbaWierszy, sensor.kodProgramu);
}
