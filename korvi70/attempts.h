// The attempt rule of every caller of the instrument commands: a command is
// repeated only while it gives 3 (no valid reply), at most `attempts` times
// in all (five in the program's screens and the upgrade); the last result
// counts. Other results, link errors and instrument statuses among them,
// end the attempts at once.
#pragma once

#include "korvi70/result_codes.h"

namespace korvi70 {

inline constexpr int kProgramAttempts = 5;

template <class Command>
int WithAttempts(Command &&command, int attempts = kProgramAttempts) {
    int rc = kNoValidReply;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        rc = command();
        if (rc != kNoValidReply) break;
    }
    return rc;
}

}  // namespace korvi70
