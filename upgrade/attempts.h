// How the upgrade repeats instrument commands.
#pragma once

namespace upgrade {

// Attempts of a command repeated while it gives 3 (no valid reply).
inline constexpr int kAttempts = 5;

// Runs command until it gives anything but 3, at most kAttempts times; the
// last result counts.
template <class Command>
int WithAttempts(Command &&command) {
    int rc = 3;
    for (int attempt = 0; attempt < kAttempts && rc == 3; ++attempt) rc = command();
    return rc;
}

}  // namespace upgrade
