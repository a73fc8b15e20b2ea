// Writing text: line ends and code page, the same on every system. Opening
// and closing, where the systems differ, are in the files of each system.
#include <cerrno>
#include <cstring>

#include "platform/textfile.h"

namespace platform {

bool TextFileWriter::Write(std::string_view text) {
    if (!file_ || failed_) return false;
    std::string withCrLf;
    withCrLf.reserve(text.size() + 8);
    char previous = lastByte_;
    for (char c : text) {
        if (c == '\n' && previous != '\r') withCrLf += '\r';
        withCrLf += c;
        previous = c;
    }
    return WriteRaw(encoding_ == Encoding::Cp1250 ? Utf8ToCp1250(withCrLf) : withCrLf);
}

bool TextFileWriter::WriteRaw(std::string_view bytes) {
    if (!file_ || failed_) return false;
    if (bytes.empty()) return true;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        reason_ = std::strerror(errno);
        failed_ = true;
        return false;
    }
    lastByte_ = bytes.back();
    return true;
}

}  // namespace platform
