#include <cerrno>

#include "platform/paths.h"
#include "platform/textfile.h"

namespace platform {

TextFileReader::~TextFileReader() { Close(); }

bool TextFileReader::Open(std::string_view path, Encoding encoding) {
    Close();
    if (path.empty()) return false;
    file_ = OpenRegularFile(HostPath(path));
    encoding_ = encoding;
    return file_ != nullptr;
}

bool TextFileReader::Rewind() {
    if (!file_) return false;
    std::clearerr(file_);
    return std::fseek(file_, 0, SEEK_SET) == 0;
}

void TextFileReader::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

int TextFileReader::ReadLine(std::string &line, std::size_t maxChars) {
    line.clear();
    if (!file_) return -1;

    // Keep one byte more than allowed: a CR there may still turn out to be
    // the first half of a CR LF line end.
    const std::size_t keep = maxChars < 0x7FFFFFFF ? maxChars + 1 : maxChars;
    std::string raw;
    std::size_t length = 0;  // the whole line, as long as it is in the file
    bool any = false;
    char last = '\0';
    for (;;) {
        const int c = std::getc(file_);
        if (c == EOF) {
            if (std::ferror(file_)) return -1;
            if (!any) return -2;
            break;
        }
        any = true;
        if (c == '\n') break;
        last = static_cast<char>(c);
        ++length;
        if (raw.size() < keep) raw += last;
    }
    if (last == '\r') {
        --length;
        if (raw.size() > length) raw.resize(length);
    }
    if (raw.size() > maxChars) raw.resize(maxChars);

    if (encoding_ == Encoding::Cp1250) {
        line = Cp1250ToUtf8(raw);
    } else {
        // Never end inside a UTF-8 character cut by the length limit.
        if (raw.size() < length) {
            std::size_t end = raw.size();
            std::size_t start = end;
            while (start > 0 && (static_cast<unsigned char>(raw[start - 1]) & 0xC0) == 0x80 && end - start < 3) --start;
            if (start > 0) {
                const auto lead = static_cast<unsigned char>(raw[start - 1]);
                const std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
                if (lead >= 0xC0 && end - (start - 1) < need) raw.resize(start - 1);
            }
        }
        line = raw;
    }
    return static_cast<int>(raw.size());
}

}  // namespace platform
