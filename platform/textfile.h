// Text files as the system keeps them: read line by line with a maximum line
// length, written in text mode (CR LF), in Windows-1250 or UTF-8 on disk.
// In memory every text is UTF-8.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

namespace platform {

enum class Encoding { Cp1250, Utf8 };

std::string Cp1250ToUtf8(std::string_view text);
// Characters without a Windows-1250 code become '?'.
std::string Utf8ToCp1250(std::string_view text);

// Opens a host path for reading in binary mode, or null when it cannot be
// opened or is not a regular file (a folder, a named pipe, a device): files
// the program does not own are read only when they are plain files.
std::FILE *OpenRegularFile(const std::string &hostPath);

class TextFileReader {
public:
    TextFileReader() = default;
    ~TextFileReader();
    TextFileReader(const TextFileReader &) = delete;
    TextFileReader &operator=(const TextFileReader &) = delete;

    // False when the file cannot be opened or is not a regular file.
    bool Open(std::string_view path, Encoding encoding = Encoding::Cp1250);
    // Back to the first line; false when the file is not open.
    bool Rewind();
    // Next line without its line end (LF or CR LF), cut to maxChars
    // characters of the file; the rest of an over-long line is skipped.
    // Returns the line's length in the file as kept (at most maxChars bytes
    // of the file; a UTF-8 file is never cut inside a character), -2 at the
    // end of the file, -1 on a read error or when the file is not open.
    int ReadLine(std::string &line, std::size_t maxChars);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

private:
    std::FILE *file_ = nullptr;
    Encoding encoding_ = Encoding::Cp1250;
};

class TextFileWriter {
public:
    enum class Mode {
        Truncate,       // create or empty the file
        Append,         // the file must exist already; never creates it
        AtomicReplace,  // write a temporary file in the same folder, rename at Close
    };
    TextFileWriter() = default;
    ~TextFileWriter();  // closes (an AtomicReplace not closed is discarded)
    TextFileWriter(const TextFileWriter &) = delete;
    TextFileWriter &operator=(const TextFileWriter &) = delete;

    bool Open(std::string_view path, Mode mode, Encoding encoding = Encoding::Cp1250);
    // Writes UTF-8 text; each "\n" is stored as CR LF (a "\r\n" given by the
    // caller stays CR LF).
    bool Write(std::string_view text);
    // Writes bytes exactly as given (no line-end or code-page conversion).
    bool WriteRaw(std::string_view bytes);
    int Close();  // 0 when everything reached the disk, else -1
    // Why the last Open, Write or Close failed, in the system's words ("" after
    // a success), so that a caller can name the reason a file was not saved.
    const std::string &Reason() const { return reason_; }

private:
    std::FILE *file_ = nullptr;
    Encoding encoding_ = Encoding::Cp1250;
    Mode mode_ = Mode::Truncate;
    bool failed_ = false;
    char lastByte_ = '\0';  // so that a CR LF split over two writes stays one line end
    std::string finalPath_, tempPath_;
    std::string reason_;
};

}  // namespace platform
