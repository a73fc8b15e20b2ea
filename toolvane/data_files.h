// TYP1 data files: tables of reals read into column arrays under a progress
// popup with a stop button, the free-text comment block read into text
// boxes, and the nominal characteristics of three resistance thermometers
// kept as TYP1 files.
//
// A TYP1 file is text (Windows-1250, at most 600 characters a line) whose
// lines starting with "#" carry a keyword: "#TYP 1", "#KodProgramu CODE",
// "#STARTKOMEN" ... "#ENDKOMEN" around the comment lines, "#DANE N x R",
// then one "#" line per table row with N reals.
//
// A line longer than 600 characters is read as its first 600; the rest of
// it is passed over, never taken for a line of its own, and a row's value
// that the limit cuts is not read (it stays the fill value). A read error
// part-way ends the read with the rows read so far and the message a file
// that cannot be read gives. The popups' stop button, or their window's
// close button, ends a read after the line under way, keeping its rows.
#pragma once

// Most columns a table reader takes.
inline constexpr int Toolvane_MaksKolumn = 100;
// Most rows of a thermometer's nominal characteristic.
inline constexpr int Toolvane_MaksWierszyChki = 1000;

// Reads the table of a TYP1 file into `columns` (N pointers to arrays of at
// least rowLimit doubles). 1 when rejected before reading (empty path, no
// such file, an empty file, a name not ending with `extension` regardless of
// letter case, N outside 1..100, a null array or out argument, a negative
// row limit); otherwise 0 whatever was found, with the rows stored in
// *rowsRead. A value a row does not give is the all-bits-set NaN; a row
// holding 4294967296.0 is skipped.
int Toolvane_OdczytZbiorDanychTyp1(const char *path, const char *extension, int rowLimit, int columnCount,
                                   double *columns[], int *rowsRead);

// As above, for the table of one program: the file must name it on a
// "KodProgramu" line before its "DANE" line. 1 when rejected; 0 when the
// table started (its "DANE" line declared N columns); 2 otherwise.
int Toolvane_OdczytZbiorDanychTyp1Prog(const char *path, const char *extension, int rowLimit, int columnCount,
                                       double *columns[], int *rowsRead, const char *programCode);

// Reads the comment block into the popup's text box and, unless panel and
// control are -1, into the caller's text box; "Brak komentarza" stays when
// the file has none. 1 when rejected before reading, otherwise 0.
int Toolvane_OdczytKomentZeZbioru(const char *path, const char *extension, int panel, int control);

// Thermometers the library knows, by index (0 = none chosen).
struct Toolvane_CzujnikTemperatury {
    int indeks;
    char opis[128];
    char zbior[262];
    char kodProgramu[130];
};
inline constexpr int Toolvane_LiczbaCzujnikow = 4;
extern const Toolvane_CzujnikTemperatury Toolvane_TabelaCzujnikow[Toolvane_LiczbaCzujnikow];

// The nominal characteristic last read: column 1 and column 2 of the
// sensor's file in file order, and how many rows were read.
extern double Toolvane_NominalnaChkaKol1[Toolvane_MaksWierszyChki];
extern double Toolvane_NominalnaChkaKol2[Toolvane_MaksWierszyChki];
extern int Toolvane_NominalnaChkaLiczbaWierszy;

// Reads sensor `index`'s file (extension "dan", 2 columns, at most 1000
// rows, its program code) into the nominal characteristic: the result of
// Toolvane_OdczytZbiorDanychTyp1Prog; 1 for index 0 or outside 0..3.
int Toolvane_OdczytNominalChkeCzujZeZbioru(int index);

// Replaces every `find` by `replacement` from the start of text up to a line
// feed, the terminator or maxLength characters, whichever comes first;
// returns how many were replaced (0 for a null text). The text is UTF-8 and
// counted in characters; find and replacement are Windows-1250 codes (a
// Polish letter is not one UTF-8 byte), compared with the text's
// characters. The buffer's size is not known, so the text never grows: a
// replacement longer in UTF-8 than the character it replaces (',' by 'ą')
// replaces nothing and gives 0; a shorter one ('ą' by ',') moves the rest
// of the text up to its terminator.
int Toolvane_ZamienZnakiWLancuchu(char *text, int maxLength, char find, char replacement);
