// The attempt rule of every instrument call of the program: a call is
// repeated only while it gives 3 (no valid answer), at most five attempts
// in all, and the last result counts.
#pragma once

namespace app {

inline constexpr int kNoValidAnswer = 3;
inline constexpr int kMaxAttempts = 5;

// Runs call() under the attempt rule; the count starts at 0 for every
// sequence. Returns the last result.
template <typename Call>
int WithRetries(Call call) {
    int attempts = 0;
    int result = 0;
    do {
        result = call();
        ++attempts;
    } while (result == kNoValidAnswer && attempts < kMaxAttempts);
    return result;
}

}  // namespace app
