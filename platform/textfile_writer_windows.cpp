#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/paths.h"
#include "platform/textfile.h"
#include "platform/wide_windows.h"

namespace platform {
namespace {

using detail::Widen;

// A C stream on a handle from CreateFileW; the stream owns the handle.
// Only a file on a disk is written to, never a device or a pipe.
std::FILE *StreamOn(HANDLE handle, bool append) {
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), append ? _O_APPEND : 0);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE *file = _fdopen(fd, append ? "ab" : "wb");
    if (!file) _close(fd);
    return file;
}

// A new file beside finalPath, under a name no other file has.
std::FILE *CreateTemporary(const std::string &finalPath, std::string &tempPath) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        tempPath = finalPath + ".~" + std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string((GetTickCount64() + attempt) % 1000000);
        const HANDLE handle =
            CreateFileW(Widen(tempPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) return StreamOn(handle, false);
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    tempPath.clear();
    return nullptr;
}

}  // namespace

TextFileWriter::~TextFileWriter() {
    if (!file_) return;
    if (mode_ == Mode::AtomicReplace) {
        // Not closed: whatever was written is dropped, the old file stays.
        std::fclose(file_);
        file_ = nullptr;
        DeleteFileW(Widen(tempPath_).c_str());
    } else {
        Close();
    }
}

bool TextFileWriter::Open(std::string_view path, Mode mode, Encoding encoding) {
    if (file_) Close();
    failed_ = false;
    mode_ = mode;
    encoding_ = encoding;
    lastByte_ = '\0';
    finalPath_.clear();
    tempPath_.clear();
    reason_.clear();
    if (path.empty()) {
        reason_ = detail::ErrorText(ERROR_PATH_NOT_FOUND);
        return false;
    }
    finalPath_ = HostPath(path);
    const std::wstring wide = Widen(finalPath_);

    switch (mode) {
    case Mode::Truncate:
        file_ = _wfopen(wide.c_str(), L"wb");
        if (!file_) reason_ = std::strerror(errno);
        break;
    case Mode::Append:
        // The file must exist already: OPEN_EXISTING never creates it.
        file_ = StreamOn(CreateFileW(wide.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr),
                         true);
        break;
    case Mode::AtomicReplace: file_ = CreateTemporary(finalPath_, tempPath_); break;
    }
    if (!file_ && reason_.empty()) reason_ = detail::ErrorText(GetLastError());
    return file_ != nullptr;
}

int TextFileWriter::Close() {
    if (!file_) return -1;
    bool ok = !failed_;
    // The first failure is the reason; a later one is its consequence.
    const auto fail = [&](std::string why) {
        if (ok) reason_ = std::move(why);
        ok = false;
    };
    if (std::fflush(file_) != 0) fail(std::strerror(errno));
    if (ok && _commit(_fileno(file_)) != 0) fail(std::strerror(errno));
    if (std::fclose(file_) != 0) fail(std::strerror(errno));
    file_ = nullptr;

    if (mode_ == Mode::AtomicReplace) {
        const std::wstring temp = Widen(tempPath_);
        // Replacing a file takes the right to delete it: a file another
        // user made, in a folder that does not give that right, stays.
        if (ok &&
            !MoveFileExW(temp.c_str(), Widen(finalPath_).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            fail(detail::ErrorText(GetLastError()));
        if (!ok) DeleteFileW(temp.c_str());
        tempPath_.clear();
    }
    return ok ? 0 : -1;
}

}  // namespace platform
