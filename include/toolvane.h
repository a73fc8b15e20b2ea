/**
 * @file toolvane.h
 * @brief Toolvane: system information and the program's folders, CRC-16,
 * time since 2000, gas properties, TYP1 data files and their comments, the
 * nominal characteristics of Pt100/Ni100/Cu100 thermometers, serial-number
 * associations.
 *
 * Valid C (C99) and C++. Plain functions and process-wide plain data, all
 * calls from one thread. Operations return 0 when done; outputs are valid
 * only then.
 *
 * Texts: every text at this interface is UTF-8. A buffer whose size is given
 * in characters holds that many bytes including the terminating NUL; a longer
 * text is cut at a character boundary, never inside a UTF-8 sequence. A
 * single char naming one character (the find and replacement characters of
 * Toolvane_ZamienZnakiWLancuchu) is a Windows-1250 code.
 *
 * The readers' popups and the messages need a user interface: see
 * brandolux.h.
 */
#ifndef TOOLVANE_H
#define TOOLVANE_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(TOOLVANE_BUILDING)
#define TOOLVANE_API __declspec(dllexport)
#elif defined(TOOLVANE_STATIC)
#define TOOLVANE_API
#else
#define TOOLVANE_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define TOOLVANE_API __attribute__((visibility("default")))
#else
#define TOOLVANE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- system information and folders ---- */

/** Size of every path buffer: 260 characters and the NUL. */
#define Toolvane_DlugoscSciezki 261

extern TOOLVANE_API char Toolvane_KatalogProgramu[261]; /**< program folder (at most 256 characters) */
extern TOOLVANE_API char Toolvane_NazwaProgramu[261];   /**< program name: set it before Toolvane_ZbierzInfoOSystemie */
extern TOOLVANE_API char Toolvane_ZbiorProgramu[261];   /**< program file */
extern TOOLVANE_API char Toolvane_ZbiorIkony[261];      /**< icon file */
extern TOOLVANE_API char Toolvane_NazwaZbioruUir[261];  /**< resource file name, e.g. VGX52_G.uir */
extern TOOLVANE_API char Toolvane_ZbiorUir[261];        /**< resource file */
extern TOOLVANE_API char Toolvane_NazwaZbioruKonfig[261];              /**< configuration file name, e.g. VGX52.kfg */
extern TOOLVANE_API char Toolvane_KatalogDanych[261];                  /**< the maker's data folder */
extern TOOLVANE_API char Toolvane_ZbiorKonfig[261];                    /**< configuration file */
extern TOOLVANE_API char Toolvane_ZbiorSkojarzenNumerowSeryjnych[261]; /**< serial-number associates file */
extern TOOLVANE_API char Toolvane_NazwaZbioruGkp[261];                 /**< gkp file name, e.g. VGX52.gkp */
extern TOOLVANE_API char Toolvane_ZbiorGkp[261];                       /**< gkp file */

/** Fills the path buffers for the model (e.g. "VGX52"): 0; 10 no program folder; 11 no resource file (both shown). */
TOOLVANE_API int Toolvane_ZbierzInfoOSystemie(const char *nazwaModelu);
/** 0 when the folder exists, or was created because utworz is non-zero; else the platform's negative error code. */
TOOLVANE_API int Toolvane_CheckIfDirectoryExist(const char *katalog, int utworz);

/* ---- CRC-16 and byte order ---- */

/** CRC-16/MODBUS with its two bytes exchanged (send it high byte first), 0..65535; 0xFFFF for no bytes. */
TOOLVANE_API int Toolvane_PoliczCRC16(const unsigned char *data, int count);
/** The same eight bytes in reverse order. */
TOOLVANE_API long long Toolvane_ChangeByteOrderIn64Int(long long value);

/* ---- time since 2000 ---- */

/** A calendar time of 2000..2099. */
typedef struct Toolvane_tm2000 {
    int second;  /**< 0..59 */
    int minute;  /**< 0..59 */
    int hour;    /**< 0..23 */
    int day;     /**< 1..31 */
    int month;   /**< 1..12, January = 1 */
    int year;    /**< years since 2000, 0..99 */
    int weekday; /**< Monday = 0 .. Sunday = 6; written by Toolvane_gmtime2000 only */
} Toolvane_tm2000;

/** Seconds since 2000-01-01 00:00:00; fields beyond their ranges add their seconds, wrapping modulo 2^32. */
TOOLVANE_API uint32_t Toolvane_mktime2000(const Toolvane_tm2000 *tm);
/** Writes all seven fields of out for seconds since 2000. */
TOOLVANE_API void Toolvane_gmtime2000(uint32_t seconds, Toolvane_tm2000 *out);
/** A duration as "[N days ]H:MM:SS" (mode 0) or without leading zero fields (mode 1); text holds 20 characters. 1 rejected. */
TOOLVANE_API int Toolvane_SekundyDoSTRINGa(double seconds, char *text, int mode);
/** "MM-DD-YYYY" to "DD-MM-YYYY": exactly ten bytes into output (input and output may be one buffer), no NUL.
 *  1 for another length, a character of more than one UTF-8 byte, or a null argument. */
TOOLVANE_API int Toolvane_ZamienFormatDatyUS2PL(const char *input, char *output);
/** "DD-MM-YY" to "DD-MM-CCYY" in place (buffer of 11 bytes), CC from the current year.
 *  1 for another length or a character of more than one UTF-8 byte. */
TOOLVANE_API int Toolvane_RozszerzOznaczenieRoku(char *date);

/* ---- gas properties (ideal gases) ---- */

/** 8314.4598 / molar mass [kg/kmol] in J/(kg K); 0 unless the molar mass is above 0. */
TOOLVANE_API double Toolvane_CalculateGasConstant(double molarMass);
/** pressure [Pa] / (gas constant [J/(kg K)] * temperature [K]) in kg/m3; 0 unless both are above 0. */
TOOLVANE_API double Toolvane_CalculateGasDensity(double gasConstant, double temperature, double pressure);
/** Dynamic viscosity [Pa s] of gas type 0 or 1 at a temperature [deg C] (0 for other types). Always 0. */
TOOLVANE_API int Toolvane_CalculateDynamicViscosity(int gasType, double temperature, double *viscosity);

/* ---- TYP1 data files, comments and thermometer characteristics ---- */

/** Most columns a table reader takes. */
#define Toolvane_MaksKolumn 100
/** Most rows of a thermometer's nominal characteristic. */
#define Toolvane_MaksWierszyChki 1000
/** Entries of Toolvane_TabelaCzujnikow. */
#define Toolvane_LiczbaCzujnikow 4

/** Reads a TYP1 table into columns (columnCount pointers to rowLimit doubles): 1 rejected, else 0 with *rowsRead.
 *  A value a row does not give is NaN; a row holding 4294967296.0 is skipped. */
TOOLVANE_API int Toolvane_OdczytZbiorDanychTyp1(const char *path, const char *extension, int rowLimit, int columnCount,
                                                double *columns[], int *rowsRead);
/** As Toolvane_OdczytZbiorDanychTyp1 for programCode's table: 1 rejected, 0 the table started, 2 otherwise. */
TOOLVANE_API int Toolvane_OdczytZbiorDanychTyp1Prog(const char *path, const char *extension, int rowLimit,
                                                    int columnCount, double *columns[], int *rowsRead,
                                                    const char *programCode);
/** Reads the comment block into the popup's text box and the caller's (panel, control; -1, -1 for none). 1 rejected, else 0. */
TOOLVANE_API int Toolvane_OdczytKomentZeZbioru(const char *path, const char *extension, int panel, int control);

/** A thermometer the library knows. */
typedef struct Toolvane_CzujnikTemperatury {
    int indeks;            /**< 0 = none chosen, 1 Pt100, 2 Ni100, 3 Cu100 */
    char opis[128];        /**< description */
    char zbior[262];       /**< its characteristic's file */
    char kodProgramu[130]; /**< program code of that file */
} Toolvane_CzujnikTemperatury;

/** The thermometers by index: 0 "wybierz typ czujnika" (no file), 1 Pt100, 2 Ni100, 3 Cu100. */
extern TOOLVANE_API const Toolvane_CzujnikTemperatury Toolvane_TabelaCzujnikow[Toolvane_LiczbaCzujnikow];
extern TOOLVANE_API double
    Toolvane_NominalnaChkaKol1[Toolvane_MaksWierszyChki]; /**< column 1 of the last characteristic read */
extern TOOLVANE_API double
    Toolvane_NominalnaChkaKol2[Toolvane_MaksWierszyChki];    /**< column 2 of the last characteristic read */
extern TOOLVANE_API int Toolvane_NominalnaChkaLiczbaWierszy; /**< its rows */

/** Reads thermometer index's characteristic into Toolvane_NominalnaChka*: as Toolvane_OdczytZbiorDanychTyp1Prog; 1 for index 0 or outside 0..3. */
TOOLVANE_API int Toolvane_OdczytNominalChkeCzujZeZbioru(int index);
/** Replaces find by replacement up to a line feed, the NUL or maxLength characters; returns how many.
 *  The text is UTF-8 and counted in characters; find and replacement are Windows-1250 codes compared with
 *  its characters. The text never grows: a replacement longer in UTF-8 than the character it replaces
 *  replaces nothing (0); a shorter one moves the rest of the text up to its NUL. */
TOOLVANE_API int Toolvane_ZamienZnakiWLancuchu(char *text, int maxLength, char find, char replacement);

/* ---- serial-number associations ---- */

/** Most entries of the association table. */
#define Toolvane_MaksSkojarzen 63
/** Buffer for a serial number, in bytes. */
#define Toolvane_RozmiarNumeruSeryjnego (8 * 3 + 1)
/** Bytes that hold any short comment whole (32 characters of up to 3 UTF-8 bytes and the NUL): for the ...N getter. */
#define Toolvane_RozmiarKomentarzaKrotkiego (32 * 3 + 1)
/** Bytes that hold any long comment whole (256 characters of up to 3 UTF-8 bytes and the NUL): for the ...N getter. */
#define Toolvane_RozmiarKomentarzaPelnego (256 * 3 + 1)

/** Reads Toolvane_ZbiorSkojarzenNumerowSeryjnych into the table: 0, or 2 when it cannot be opened (table kept). */
TOOLVANE_API int Toolvane_ReadSerialAssociatesFile(void);
/** Index of the first entry with this serial number (letter case ignored), or -1. */
TOOLVANE_API int Toolvane_FindIndexForSerialNumber(const char *serialNumber);
/** Adds an entry: 0, -1 when the table holds 63 already, 1 for a null argument. */
TOOLVANE_API int Toolvane_AddSerialNumberAssociation(const char *serialNumber, const char *shortComment,
                                                     const char *longComment);
/** Copies entry index's short comment into out, a buffer of 33 bytes, cut at a whole character when longer:
 *  0, or 1 (out left empty) for an index outside 0..count-1 or a null out. */
TOOLVANE_API int Toolvane_GetShortCommentFromIndex(int index, char *out);
/** Copies entry index's long comment into out, a buffer of 257 bytes, cut at a whole character when longer:
 *  0, or 1 (out left empty) for an index outside 0..count-1 or a null out. */
TOOLVANE_API int Toolvane_GetFullCommentFromIndex(int index, char *out);
/** As Toolvane_GetShortCommentFromIndex into a buffer of size bytes (Toolvane_RozmiarKomentarzaKrotkiego holds
 *  every comment whole); 1 also for a size below 1. */
TOOLVANE_API int Toolvane_GetShortCommentFromIndexN(int index, char *out, int size);
/** As Toolvane_GetFullCommentFromIndex into a buffer of size bytes (Toolvane_RozmiarKomentarzaPelnego holds
 *  every comment whole); 1 also for a size below 1. */
TOOLVANE_API int Toolvane_GetFullCommentFromIndexN(int index, char *out, int size);

#ifdef __cplusplus
}
#endif

#endif /* TOOLVANE_H */
