// Reaching the instrument through a dial-up modem on the link's port: the
// modem is identified (which switches its echo on, so that what follows
// does not depend on how it was left), the number dialled, and after the
// command the connection ended.
#pragma once
#include <cstdio>
#include <string>

namespace cli {

// Identifies the modem and dials; the modem's answer and the connection
// speed go to err. 0 when connected, else the dialling's result code.
int DialModem(const std::string &number, bool pulse, std::FILE *err);
// The disconnect: escape, on hook, fixed settings. Its result code.
int HangUpModem(std::FILE *err);
// The modem's reply time-out the command line uses, as the dialogs do.
inline constexpr double kModemReplyTime = 0.2;

}  // namespace cli
