#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/paths.h"
#include "platform/textfile.h"
#include "platform/wide_windows.h"

namespace platform {
namespace {

using detail::Widen;

bool Attributes(std::string_view path, WIN32_FILE_ATTRIBUTE_DATA &data) {
    if (path.empty()) return false;
    return GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) != 0;
}

bool IsFolder(const WIN32_FILE_ATTRIBUTE_DATA &data) { return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// A missing path whose way is blocked by a file is told apart from one
// that is simply not there, as the two are told apart on Linux.
bool FileOnTheWay(std::wstring path) {
    for (;;) {
        const auto slash = path.find_last_of(L"\\/");
        if (slash == std::wstring::npos || slash == 0) return false;
        path.resize(slash);
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }
}

int FromError(DWORD error, const std::wstring &path) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return FileOnTheWay(path) ? kPathErrIsFile : kPathErrNotFound;
    case ERROR_DIRECTORY: return kPathErrIsFile;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION: return kPathErrAccess;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return kPathErrDiskFull;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS: return kPathErrExists;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE: return kPathErrInvalid;
    default: return kPathErrIo;
    }
}

}  // namespace

std::FILE *OpenRegularFile(const std::string &hostPath) {
    if (hostPath.empty()) return nullptr;
    // A folder cannot be opened this way; a device or a pipe can, and is
    // refused: files the program does not own are read only as plain files.
    const HANDLE h = CreateFileW(Widen(hostPath).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    const int fd = GetFileType(h) == FILE_TYPE_DISK ? _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY) : -1;
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    std::FILE *file = _fdopen(fd, "rb");
    if (!file) _close(fd);
    return file;
}

int MoveOver(std::string_view from, std::string_view to) {
    const std::wstring target = Widen(to);
    // rename() refuses an existing target on Windows.
    if (MoveFileExW(Widen(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
    return FromError(GetLastError(), target);
}

bool FileExists(std::string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return Attributes(path, data) && !IsFolder(data);
}

bool DirectoryExists(std::string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return Attributes(path, data) && IsFolder(data);
}

bool SameFolder(std::string_view a, std::string_view b) {
    // The volume and the file index tell a folder apart, as inode numbers do.
    const auto identity = [](std::string_view path, BY_HANDLE_FILE_INFORMATION &info) {
        if (path.empty()) return false;
        const HANDLE h = CreateFileW(Widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        const bool known = GetFileInformationByHandle(h, &info) != 0;
        CloseHandle(h);
        return known && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    };
    BY_HANDLE_FILE_INFORMATION ia, ib;
    return identity(a, ia) && identity(b, ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

long long FileSize(std::string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!Attributes(path, data) || IsFolder(data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int MakeDir(std::string_view path) {
    if (path.empty()) return kPathErrInvalid;
    const std::wstring wide = Widen(path);
    if (CreateDirectoryW(wide.c_str(), nullptr)) return 0;
    return FromError(GetLastError(), wide);
}

int MakeDirs(std::string_view path) {
    if (path.empty()) return kPathErrInvalid;
    const std::wstring wide = Widen(path);
    // The part that cannot be made: "C:\", "\\server\share\" or a leading "\".
    std::size_t start = 0;
    if (wide.size() >= 2 && wide[1] == L':') start = 2;
    if (wide.compare(0, 2, L"\\\\") == 0) {
        start = wide.find_first_of(L"\\/", 2);
        start = start == std::wstring::npos ? wide.size() : wide.find_first_of(L"\\/", start + 1);
        if (start == std::wstring::npos) start = wide.size();
    }
    for (std::size_t pos = start; pos <= wide.size(); ++pos) {
        if (pos < wide.size() && wide[pos] != L'\\' && wide[pos] != L'/') continue;
        const std::wstring partial = wide.substr(0, pos);
        if (partial.size() <= start || partial.back() == L'\\' || partial.back() == L'/') continue;
        if (!CreateDirectoryW(partial.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return FromError(GetLastError(), partial);
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FromError(GetLastError(), wide);
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : kPathErrIsFile;
}

int GetDir(std::string &folder) {
    folder.clear();
    const DWORD need = GetCurrentDirectoryW(0, nullptr);
    if (need == 0) return kPathErrIo;
    std::vector<wchar_t> buf(need + 1);
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(buf.size()), buf.data());
    if (n == 0 || n >= buf.size()) return kPathErrIo;
    folder = detail::Narrow(std::wstring_view(buf.data(), n));
    return 0;
}

int SetDir(std::string_view path) {
    if (path.empty()) return kPathErrInvalid;
    const std::wstring wide = Widen(path);
    if (SetCurrentDirectoryW(wide.c_str())) return 0;
    return FromError(GetLastError(), wide);
}

}  // namespace platform
