// Files and folders. Windows paths that the system fixes ("C:\Korvi70.Kfg",
// "P:\VGX52\...", "\Korvi70\...") live under the drive root: drive X: is the
// folder <root>/x, a leading backslash means drive C:, backslashes become
// slashes, and a component missing under its exact name is looked up without
// regard to letter case. Host paths (starting with '/') pass through.
#pragma once
#include <string>
#include <string_view>

namespace platform {

// Error codes of MakeDir, GetDir and SetDir, as the run-time numbered them.
enum PathError {
    kPathErrNotFound = -1,  // a component of the path does not exist
    kPathErrIo = -3,        // any other failure of the operating system
    kPathErrInvalid = -5,   // empty path
    kPathErrAccess = -6,    // access denied or read-only file system
    kPathErrIsFile = -7,    // a component of the path is a file
    kPathErrDiskFull = -8,
    kPathErrExists = -9,  // MakeDir: the name exists already
};

// VGX52_ROOT, else $XDG_DATA_HOME/vgx52, else ~/.local/share/vgx52.
std::string DriveRoot();
// Any path the system uses, turned into the host path to open. Relative
// paths stay relative (to the current folder) with slashes. In a drive path
// "." is dropped and ".." never climbs above the drive's folder. A host path
// only has its backslashes turned into slashes (the program composes some
// paths as folder + "\" + name). A trailing separator is kept.
std::string HostPath(std::string_view path);
// The running program's own file, links resolved (whatever name it was
// started under); empty if it cannot be found.
std::string ProgramFile();
// Folder of the running program, without a trailing slash; empty if it
// cannot be found.
std::string ProgramFolder();
// What joins that folder and a name in the paths the program records and
// shows ("C:\Program Files\VGX52\vgx52.exe" on Windows).
extern const char kFolderSeparator[];
// The folder where the user keeps their own files, for a program that was
// started in its own folder, where a standard user may write nothing:
// Documents on Windows (wherever it was moved to). Empty on Linux, where a
// desktop starts a program in the home folder, never in the program's.
std::string UserFilesFolder();

bool FileExists(std::string_view path);
bool DirectoryExists(std::string_view path);
// Both name one existing folder, whatever links, letter case or separators
// tell them apart.
bool SameFolder(std::string_view a, std::string_view b);
long long FileSize(std::string_view path);  // -1 when absent
// Makes one folder; its parent must exist, except that the folder standing
// for a drive is made when missing (a drive always exists on Windows).
int MakeDir(std::string_view path);  // 0, or a negative error code
// Makes the folder and every missing folder above it (0 if it exists).
int MakeDirs(std::string_view path);
// Puts the file `from` in place of `to`, replacing a file there in one
// step: 0, or a negative error code.
int MoveOver(std::string_view from, std::string_view to);
int GetDir(std::string &folder);    // current folder; 0 or negative
int SetDir(std::string_view path);  // 0, or a negative error code
// A few words for one of the error codes above ("access denied").
const char *PathErrorText(int code);

}  // namespace platform
