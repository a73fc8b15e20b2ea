// The Intel-HEX firmware reader on a file holding the input's bytes.
//
// The file is read twice: with the upgrade's page size and load limit, and
// with every record inside the image stored (the image size as the limit,
// one-byte pages). Only one fault depends on the limit: a record that is
// stored and runs past the image, which the upgrade's limit (8 KiB below
// the end) never lets happen. So a file the upgrade refuses is refused by
// the other read too, no later; a file only the other read refuses holds
// such a record; below the limit both images agree byte for byte. A
// refused file leaves the caller's image and page count as they were.
#include <cstring>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"
#include "upgrade/hex_reader.h"
#include "upgrade/hex_record.h"

namespace {

constexpr int kPageSize = 256;
constexpr int kLoadLimit = 0x1E000;
constexpr int kLongestRecord = 255;
constexpr unsigned char kUntouched = 0xA5;
constexpr int kNoCount = -7;

// The image size of a byte value, to compare whole ranges at once.
const std::vector<unsigned char> &Filled(unsigned char value) {
    static const std::vector<unsigned char> untouched(UpLoad_RozmiarObrazu, kUntouched);
    static const std::vector<unsigned char> erased(UpLoad_RozmiarObrazu, UpLoad_WartoscPustegoBajtu);
    return value == kUntouched ? untouched : erased;
}

// True when image[from..] holds nothing but value.
bool AllFrom(const std::vector<unsigned char> &image, std::size_t from, unsigned char value) {
    return std::memcmp(image.data() + from, Filled(value).data(), image.size() - from) == 0;
}

struct Read {
    int rc = 0;
    int pages = kNoCount;
    int faultLine = 0;
    std::string fault;
    std::vector<unsigned char> image = std::vector<unsigned char>(UpLoad_RozmiarObrazu, kUntouched);
};

Read ReadFile(const std::string &path, int pageSize, int loadLimit) {
    Read r;
    r.rc = UpLoad_OdczytajZbiorHEX(path.c_str(), r.image.data(), &r.pages, pageSize, loadLimit);
    r.faultLine = UpLoad_LiniaBleduZbioru();
    r.fault = UpLoad_OpisBleduZbioru();
    FUZZ_CHECK(r.rc == UpLoad_ZbiorOdczytany || r.rc == UpLoad_ZbiorUszkodzony);
    if (r.rc != UpLoad_ZbiorOdczytany) {
        FUZZ_CHECK(r.pages == kNoCount);
        FUZZ_CHECK(AllFrom(r.image, 0, kUntouched));
        FUZZ_CHECK(r.faultLine >= 1);
        FUZZ_CHECK(std::strlen(UpLoad_OpisBleduZbioru()) > 0);
    } else {
        FUZZ_CHECK(r.faultLine == 0);
        FUZZ_CHECK(std::strlen(UpLoad_OpisBleduZbioru()) == 0);
    }
    return r;
}

// Highest address holding something other than erased flash, or -1.
long Highest(const std::vector<unsigned char> &image) {
    constexpr std::size_t kBlock = 4096;
    std::size_t end = image.size();
    while (end > 0 && AllFrom(image, end - kBlock, UpLoad_WartoscPustegoBajtu)) end -= kBlock;
    for (long i = static_cast<long>(end) - 1; i >= 0; --i)
        if (image[static_cast<std::size_t>(i)] != UpLoad_WartoscPustegoBajtu) return i;
    return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string path = fuzz::WriteTempFile("firmware.a90", fuzz::AsText(data, size));
    const Read upgrade = ReadFile(path, kPageSize, kLoadLimit);
    const Read whole = ReadFile(path, 1, UpLoad_RozmiarObrazu);

    if (upgrade.rc != UpLoad_ZbiorOdczytany) {
        FUZZ_CHECK(whole.rc != UpLoad_ZbiorOdczytany);
        FUZZ_CHECK(whole.faultLine <= upgrade.faultLine);
        return 0;
    }
    if (whole.rc != UpLoad_ZbiorOdczytany) {
        FUZZ_CHECK(whole.fault == upgrade::HexFaultText(upgrade::HexFault::PastImage));
        return 0;
    }

    FUZZ_CHECK(std::memcmp(upgrade.image.data(), whole.image.data(), kLoadLimit) == 0);
    // Records are stored only when they start below the limit.
    FUZZ_CHECK(AllFrom(upgrade.image, kLoadLimit + kLongestRecord, UpLoad_WartoscPustegoBajtu));
    // The page count covers every byte that differs from erased flash.
    const long highest = Highest(upgrade.image);
    FUZZ_CHECK(upgrade.pages >= 0 && upgrade.pages <= (kLoadLimit + kLongestRecord + kPageSize) / kPageSize);
    FUZZ_CHECK(static_cast<long>(upgrade.pages) * kPageSize > highest);
    FUZZ_CHECK(whole.pages >= 0 && whole.pages <= UpLoad_RozmiarObrazu);
    FUZZ_CHECK(whole.pages > Highest(whole.image));
    return 0;
}
