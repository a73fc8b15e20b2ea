// The result codes that every instrument command of the libraries shares,
// and that their callers (the screens, the upgrade, vgx52ctl) test for.
// Functions return them as int; any value not named here is the
// instrument's own non-zero status byte, passed on unchanged.
#pragma once

namespace korvi70 {

inline constexpr int kDone = 0;          // done; the outputs are valid
inline constexpr int kRefused = 1;       // an argument out of range: nothing was sent
inline constexpr int kLinkFailed = 2;    // the link failed while sending (TCP: no reply or a server error)
inline constexpr int kNoValidReply = 3;  // time-out, wrong ID or transaction, echo or check mismatch, no terminator

}  // namespace korvi70
