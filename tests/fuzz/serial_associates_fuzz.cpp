// The serial-number associates file (Windows-1250 text): at most 63 entries,
// every comment within its field and cut only at a character boundary.
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/fuzz/fuzz_support.h"
#include "toolvane/folders.h"
#include "toolvane/serial_associates.h"

namespace {

std::size_t Characters(const char *utf8) {
    std::size_t count = 0;
    for (; *utf8; ++utf8)
        if ((static_cast<unsigned char>(*utf8) & 0xC0u) != 0x80u) ++count;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string path = fuzz::WriteTempFile("serial number associates.txt", fuzz::AsText(data, size));
    std::snprintf(Toolvane_ZbiorSkojarzenNumerowSeryjnych, sizeof Toolvane_ZbiorSkojarzenNumerowSeryjnych, "%s",
                  path.c_str());
    FUZZ_CHECK(Toolvane_ReadSerialAssociatesFile() == 0);

    int count = 0;
    for (int i = 0; i <= Toolvane_MaksSkojarzen; ++i) {
        // Exactly the documented sizes: a longer copy is caught.
        char shortCut[33];
        char longCut[257];
        char shortComment[Toolvane_RozmiarKomentarzaKrotkiego];
        char longComment[Toolvane_RozmiarKomentarzaPelnego];
        const int rcShort = Toolvane_GetShortCommentFromIndexN(i, shortComment, sizeof shortComment);
        const int rcLong = Toolvane_GetFullCommentFromIndexN(i, longComment, sizeof longComment);
        FUZZ_CHECK(rcShort == rcLong);
        FUZZ_CHECK(Toolvane_GetShortCommentFromIndex(i, shortCut) == rcShort);
        FUZZ_CHECK(Toolvane_GetFullCommentFromIndex(i, longCut) == rcLong);
        FUZZ_CHECK(fuzz::IsValidUtf8(shortCut) && fuzz::IsValidUtf8(longCut));
        // The cut texts are where the whole ones start.
        FUZZ_CHECK(std::strncmp(shortComment, shortCut, std::strlen(shortCut)) == 0);
        FUZZ_CHECK(std::strncmp(longComment, longCut, std::strlen(longCut)) == 0);
        if (rcShort != 0) {
            FUZZ_CHECK(shortComment[0] == '\0' && longComment[0] == '\0');
            break;
        }
        ++count;
        FUZZ_CHECK(fuzz::IsValidUtf8(shortComment) && fuzz::IsValidUtf8(longComment));
        FUZZ_CHECK(Characters(shortComment) <= 32 && Characters(longComment) <= 256);
    }
    FUZZ_CHECK(count <= Toolvane_MaksSkojarzen);
    return 0;
}
