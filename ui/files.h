// Where the user interface's files are and how they are read and written.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace ui::detail {

// The host path of a file name as the system gives it: Windows paths
// ("C:\...", "\Korvi70\...") through platform::HostPath, host paths as they
// are, relative names in the project folder (ui::SetProjectFolder, else the
// program's folder). A name missing under its exact spelling is looked up
// without regard to letter case. "" for an empty name.
std::string ResolvePath(std::string_view name);

// Reads a whole file of at most maxBytes: 0, UIE_NO_SUCH_FILE when it cannot
// be opened, UIE_BAD_FILE when it is larger or cannot be read.
int ReadWholeFile(const std::string &hostPath, std::size_t maxBytes, std::string &content);

// Writes a temporary file beside the target and renames it over the target,
// so a failed write never leaves a half-written file.
bool WriteFileAtomically(const std::string &hostPath, std::string_view content);

}  // namespace ui::detail
