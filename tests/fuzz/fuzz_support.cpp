#include "tests/fuzz/fuzz_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fuzz {
namespace {

void (*g_hook)() = nullptr;
// A plain array: it must still be there when the removal runs at exit.
char g_folder[256] = "";

void RemoveTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(g_folder, ignored);
}

}  // namespace

void Fail(const char *condition, const char *file, int line) {
    std::fprintf(stderr, "\nfuzz check failed: %s\n  at %s:%d\n", condition, file, line);
    if (g_hook != nullptr) g_hook();
    std::fflush(stderr);
    std::abort();
}

void SetFailureHook(void (*hook)()) { g_hook = hook; }

const std::string &TempFolder() {
    static const std::string folder = [] {
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        std::snprintf(g_folder, sizeof g_folder, "%s/vgx52-fuzz-XXXXXX", base.c_str());
        if (mkdtemp(g_folder) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        std::atexit(RemoveTempFolder);
        return std::string(g_folder);
    }();
    return folder;
}

std::string WriteTempFile(const std::string &name, std::string_view bytes) {
    const std::string path = TempFolder() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
    return path;
}

std::string ReadWholeFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t n = 0;
        unsigned code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 1;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + n >= text.size()) return false;  // cut short
        for (std::size_t k = 1; k <= n; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        static constexpr unsigned kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += n + 1;
    }
    return true;
}

}  // namespace fuzz
