// The program's real screens on the Qt back end (offscreen, on a 1024x768
// screen) against the simulated instrument in this process.
#pragma once
#include <QTimer>
#include <string>
#include <vector>

#include "../screens/program_screens.h"

namespace qtscreens {

using screens::HexFile;
using screens::kPort;

class ProgramScreens : public screens::ProgramScreens {
protected:
    void InstallBackend() override;
};

// Answers every dialog that comes up with its first button (yes, OK), the
// way an operator who agrees to everything would, noting their titles.
class Agree {
public:
    Agree();
    std::vector<std::string> titles;

private:
    QTimer timer_;
};

}  // namespace qtscreens
