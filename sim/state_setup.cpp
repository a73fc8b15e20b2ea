#include "sim/state_setup.h"

#include <sys/stat.h>

#include "sim/state_file.h"

namespace sim {

bool PrepareInstrumentState(Instrument &instrument, const SimOptions &options, std::string *error) {
    InstrumentState &state = instrument.State();
    struct stat info {};
    if (!options.statePath.empty() && stat(options.statePath.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) {
            *error = options.statePath + " is not a file";
            return false;
        }
        if (!LoadState(state, options.statePath, error)) return false;
    }
    if (options.idGiven) state.id = static_cast<unsigned char>(options.id);
    if (options.typeGiven) state.typeCode = options.typeCode;
    if (options.softwareVersion >= 0) state.vgx.softwareVersion = static_cast<std::uint16_t>(options.softwareVersion);
    return true;
}

bool SaveInstrumentState(Instrument &instrument, const SimOptions &options, std::string *error) {
    if (options.statePath.empty()) return true;
    return SaveState(instrument.State(), options.statePath, error);
}

}  // namespace sim
