#include <cstring>
#include <string>

#include "platform/textfile.h"
#include "platform/utf8.h"
#include "toolvane/data_files.h"

int Toolvane_ZamienZnakiWLancuchu(char *text, int maxLength, char find, char replacement) {
    if (text == nullptr) return 0;
    // The two characters in the text's own encoding.
    const std::string from = platform::Cp1250ToUtf8({&find, 1});
    const std::string to = platform::Cp1250ToUtf8({&replacement, 1});
    // The buffer may end at the terminator: a text never grows.
    if (to.size() > from.size()) return 0;

    int replaced = 0;
    std::size_t read = 0, write = 0;  // write falls behind read as replacements shorten the text
    for (int chars = 0; chars < maxLength && text[read] != '\0' && text[read] != '\n'; ++chars) {
        // A character is never longer than 4 bytes and never holds the terminator.
        const std::size_t n = platform::Utf8CharLength(platform::TextWithin(text + read, 4), 0);
        if (n == from.size() && std::memcmp(text + read, from.data(), n) == 0) {
            std::memcpy(text + write, to.data(), to.size());
            write += to.size();
            ++replaced;
        } else {
            std::memmove(text + write, text + read, n);
            write += n;
        }
        read += n;
    }
    if (write != read) std::memmove(text + write, text + read, std::strlen(text + read) + 1);
    return replaced;
}
