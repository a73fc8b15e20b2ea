// A file the program keeps for the operator could not be written.
#pragma once
#include <string>

namespace ui {

// Says so in a message that names the file and the reason, the first time
// for each file in a run: a lost save is never silent, and a save that fails
// every time a dialog closes does not ask for an answer every time.
void ReportFailedWrite(const std::string &path, const std::string &reason);

// SavePanelState for a dialog that remembers its values: a file that cannot
// be written is reported as above. Returns what SavePanelState returned.
int SaveDialogState(int panel, const char *fileName, int stateIndex);

}  // namespace ui
