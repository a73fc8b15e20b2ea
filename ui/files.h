// Where the user interface's files are and how they are read and written.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace ui::detail {

// Where a relative name is found: resource files come with the program,
// in the project folder (ui::SetProjectFolder, else the program's folder);
// panel-state files are the user's, in the current folder, as every other
// file named without a folder is.
enum class RelativeTo { ProjectFolder, CurrentFolder };

// The host path of a file name as the system gives it: Windows paths
// ("C:\...", "\Korvi70\...") through platform::HostPath, host paths as they
// are, relative names in the folder `relative` says. A name missing under
// its exact spelling is looked up without regard to letter case. "" for an
// empty name.
std::string ResolvePath(std::string_view name, RelativeTo relative = RelativeTo::ProjectFolder);

// Reads a whole file of at most maxBytes: 0, UIE_NO_SUCH_FILE when it cannot
// be opened, UIE_BAD_FILE when it is larger or cannot be read.
int ReadWholeFile(const std::string &hostPath, std::size_t maxBytes, std::string &content);

}  // namespace ui::detail
