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

// Shared by the dialogs, the link and the upgrade.
inline constexpr int kNotDone = -1;   // the link not opened, a loader message not acknowledged, an upgrade not done
inline constexpr int kCancelled = 4;  // a dialog left without an answer
inline constexpr int kPanelNotLoaded = 5;  // a dialog's panel file could not be loaded

}  // namespace korvi70
