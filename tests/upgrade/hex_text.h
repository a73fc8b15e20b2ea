// Intel-HEX text for tests: records with their checksums, whole files, and
// a file written to a temporary folder.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace upgrade_test {

// One record line (no line end); the checksum makes the bytes add up to 0.
std::string Record(int type, int offset, const std::vector<std::uint8_t> &data);
std::string DataRecord(int offset, const std::vector<std::uint8_t> &data);
std::string SegmentRecord(int segment);  // type 02
std::string LinearRecord(int upper);     // type 04
std::string EndRecord();                 // ":00000001FF"

// value as upper-case hex digits, zero-padded to digits.
std::string HexDigits(unsigned value, int digits);

// count bytes, each derived from its address (so moved data shows).
std::vector<std::uint8_t> Pattern(int address, int count);

// Lines joined with the line end (LF or CR LF), one after the last too.
std::string Join(const std::vector<std::string> &lines, const char *lineEnd = "\r\n");

// A fresh folder for this test process.
std::string TempFolder();
// Writes bytes to a file in TempFolder(); returns its host path.
std::string WriteTempFile(const std::string &name, const std::string &bytes);
std::string ReadFile(const std::string &path);  // empty when absent

}  // namespace upgrade_test
