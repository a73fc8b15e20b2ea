// The instrument's firmware, an Intel-HEX text file, loaded into a memory
// image of its 128 KiB flash, with the number of flash pages it occupies.
//
// Every byte no data record sets stays 0xFF (erased flash); byte address in
// flash = index in the image. Data goes to base + load offset, where the
// base is set by the last extended segment address record (02, value x 16)
// or extended linear address record (04, value x 65536). Only records that
// start below the load limit are stored, and those whole (the image must
// reach past the limit by the longest record: the upgrade's limit 0x1E000
// leaves 8 KiB). The page count covers every stored byte from address 0:
// (highest stored address + page size) / page size, 0 when nothing was stored.
//
// A damaged file is refused as a whole: a record checksum that does not add
// up, a line that is not a record (blank lines are passed over), a record
// type other than 00 to 05, a record that starts below the load limit and
// runs past the image (one that starts at or above the limit is skipped
// whole, wherever it lies), a line
// longer than a 255-byte record, a read error, or no end-of-file record
// (a download cut short at a line end). Reading stops at the end-of-file
// record; what follows it is not read.
#pragma once

constexpr int UpLoad_RozmiarObrazu = 131072;  // bytes of the flash image
constexpr unsigned char UpLoad_WartoscPustegoBajtu = 0xFF;

// Results of UpLoad_OdczytajZbiorHEX.
constexpr int UpLoad_ZbiorOdczytany = 0;
constexpr int UpLoad_BrakZbioru = -1;       // the file cannot be opened
constexpr int UpLoad_ZbiorUszkodzony = -2;  // the file is damaged; see UpLoad_LiniaBleduZbioru
constexpr int UpLoad_ZleArgumenty = 1;      // null image or page count, page size below 1

// Reads the file at path (a system path; see platform::HostPath) into image
// (UpLoad_RozmiarObrazu bytes) and sets *pageCount. The file is checked
// whole before anything is stored: on any result but 0 the image and the
// page count are left as they were.
int UpLoad_OdczytajZbiorHEX(const char *path, unsigned char *image, int *pageCount, int pageSize, int loadLimit);

// Where the last UpLoad_OdczytajZbiorHEX found its file damaged: the line
// number (1 = first line; for a missing end record the line after the
// last) and the reason in English; 0 and "" after a good read.
int UpLoad_LiniaBleduZbioru();
const char *UpLoad_OpisBleduZbioru();
