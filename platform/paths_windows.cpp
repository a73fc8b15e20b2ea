// Paths on Windows are the system's own: drive letters, backslashes and
// letter case need no translation, and the program folder is the module's.
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <string>

#include "platform/paths.h"
#include "platform/wide_windows.h"

namespace platform {

std::string HostPath(std::string_view path) { return std::string(path); }

std::string ProgramFile() {
    std::wstring exe(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 6; ++attempt) {
        const DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (n == 0) return {};
        if (n < exe.size()) {
            exe.resize(n);
            return detail::Narrow(exe);
        }
        exe.resize(exe.size() * 2);  // the name was cut to fit
    }
    return {};
}

std::string ProgramFolder() {
    const std::string exe = ProgramFile();
    const auto slash = exe.find_last_of("\\/");
    if (slash == std::string::npos) return {};
    // "C:\" keeps its backslash: "C:" alone would mean the current folder of drive C.
    return exe.substr(0, slash == 2 && exe[1] == ':' ? 3 : slash);
}

const char kFolderSeparator[] = "\\";

std::string UserFilesFolder() {
    wchar_t *folder = nullptr;
    // The known folder follows Documents where the user or a policy moved it.
    const HRESULT hr = SHGetKnownFolderPath(FOLDERID_Documents, KF_FLAG_DEFAULT, nullptr, &folder);
    std::string documents = SUCCEEDED(hr) && folder ? detail::Narrow(folder) : std::string();
    CoTaskMemFree(folder);
    return documents;
}

}  // namespace platform
