#include "toolvane/system_info.h"

#include <initializer_list>
#include <string_view>

#include "platform/paths.h"
#include "platform/system.h"
#include "platform/utf8.h"
#include "toolvane/folders.h"
#include "ui/ui.h"

namespace toolvane {

namespace {

constexpr std::size_t kProgramFolderMax = 256;

bool g_folderOverridden = false;
std::string g_folderOverride;

// Joins the parts into the buffer; false (the path cut at a character
// boundary) when the result does not fit.
bool Compose(char (&out)[Toolvane_DlugoscSciezki], std::initializer_list<std::string_view> parts) {
    platform::TextBuffer path(out, sizeof out);
    for (std::string_view part : parts) path.Append(part);
    return !path.WasCut();
}

bool EndsWithSeparator(std::string_view folder) {
    return !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
}

// Separator between a host folder and a name, unless the folder has one.
std::string_view Separator(std::string_view folder) {
    return EndsWithSeparator(folder) ? "" : platform::kFolderSeparator;
}

// The last component of a start name such as "./bin/vgx52" or "C:\x\vgx52.exe".
std::string_view BaseName(std::string_view name) {
    std::size_t slash = name.find_last_of("/\\");
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

std::string ProgramFolder() { return g_folderOverridden ? g_folderOverride : platform::ProgramFolder(); }

// The program file's own name. The name it was started under can be a link
// of another name (a user's ~/bin/meter) or lack the ".exe" a Windows shell
// adds, and the record built on it must name a file that exists; a folder
// set for tests keeps the start name.
std::string ProgramFileName() {
    const std::string file = g_folderOverridden ? std::string() : platform::ProgramFile();
    return std::string(BaseName(file.empty() ? std::string_view(Toolvane_NazwaProgramu) : std::string_view(file)));
}

void ClearBuffers() {
    for (char *buffer : {Toolvane_KatalogProgramu, Toolvane_ZbiorProgramu, Toolvane_ZbiorIkony, Toolvane_NazwaZbioruUir,
                         Toolvane_ZbiorUir, Toolvane_NazwaZbioruKonfig, Toolvane_KatalogDanych, Toolvane_ZbiorKonfig,
                         Toolvane_ZbiorSkojarzenNumerowSeryjnych, Toolvane_NazwaZbioruGkp, Toolvane_ZbiorGkp})
        buffer[0] = '\0';
}

}  // namespace

const char *DataFolderFor(int major, int minor) {
    if (major == 5 && (minor == 0 || minor == 1)) return kDataFolderXp;
    // Windows 5.2 has no folder of its own: it gets the one of later versions,
    // never an empty folder (which would put the files at the drive's root).
    return kDataFolderVista;
}

void SetProgramFolderForTests(const char *folder) {
    g_folderOverridden = folder != nullptr;
    g_folderOverride = folder ? folder : "";
}

}  // namespace toolvane

int Toolvane_ZbierzInfoOSystemie(const char *nazwaModelu) {
    using toolvane::Compose;
    const std::string_view model = nazwaModelu ? nazwaModelu : "";
    toolvane::ClearBuffers();

    // The program's folder is a host folder: paths built on it use its separator.
    const std::string folder = toolvane::ProgramFolder();
    if (folder.empty() || folder.size() > toolvane::kProgramFolderMax) {
        ui::MessagePopup("Wystąpił błąd.", "Nie możliwe jest określenie bieżącego katalogu programu.");
        return 10;
    }
    Compose(Toolvane_KatalogProgramu, {folder});
    const std::string_view sep = toolvane::Separator(folder);
    // The program's real path: its folder and its file's own name.
    Compose(Toolvane_ZbiorProgramu, {folder, sep, toolvane::ProgramFileName()});
    Compose(Toolvane_ZbiorIkony, {folder, sep, model, ".ico"});

    const bool uirFits = Compose(Toolvane_NazwaZbioruUir, {model, "_G.", "uir"}) &&
                         Compose(Toolvane_ZbiorUir, {folder, sep, Toolvane_NazwaZbioruUir});
    if (!uirFits || !platform::FileExists(Toolvane_ZbiorUir)) {
        Toolvane_ZbiorUir[0] = '\0';
        ui::MessagePopup("Wystąpił błąd.", "Nie możliwe jest odnalezienie zbioru z grafiką interfejsu użytkownika.");
        return 11;
    }

    Compose(Toolvane_NazwaZbioruKonfig, {model, ".", "kfg"});
    int major = 0, minor = 0;
    platform::GetWinOSVersion(&major, &minor);
    Compose(Toolvane_KatalogDanych, {toolvane::DataFolderFor(major, minor)});
    // Windows paths: opened through platform::HostPath.
    Compose(Toolvane_ZbiorKonfig, {Toolvane_KatalogDanych, "\\", Toolvane_NazwaZbioruKonfig});
    if (major >= 6) {
        Compose(Toolvane_ZbiorKonfig, {toolvane::kDataFolderVista, "\\", Toolvane_NazwaZbioruKonfig});
        Compose(Toolvane_ZbiorSkojarzenNumerowSeryjnych,
                {toolvane::kDataFolderVista, "\\", toolvane::kSerialAssociatesName});
    }

    Compose(Toolvane_NazwaZbioruGkp, {model, ".", "gkp"});
    Compose(Toolvane_ZbiorGkp, {folder, sep, Toolvane_NazwaZbioruGkp});
    return 0;
}

int Toolvane_CheckIfDirectoryExist(const char *katalog, int utworz) {
    if (katalog == nullptr) return -1;
    std::string remembered;
    const bool haveCurrent = platform::GetDir(remembered) == 0;
    const std::string path = platform::HostPath(katalog);
    int status = platform::SetDir(path);
    if (status != 0 && utworz != 0) status = platform::MakeDir(path);
    if (haveCurrent) platform::SetDir(remembered);
    return status;
}
