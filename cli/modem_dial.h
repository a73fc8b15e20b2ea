// Reaching the instrument through a dial-up modem on the link's port: the
// modem is identified (which switches its echo on, so that what follows
// does not depend on how it was left), the number dialled, the command run
// through the connection, and the connection ended.
#pragma once
#include <cstdio>
#include <functional>
#include <string>

#include "cli/options.h"

namespace cli {

// The modem's reply time-out the command line uses, as the dialogs do.
inline constexpr double kModemReplyTime = 0.2;

// False, with the reason in error, when --dial or a modem command cannot
// be used as given (a COM number beyond COM4 is refused as out of range).
bool CheckModemUsage(const Options &options, bool commandOpensLink, ArgError &error);
// 1 with a message when the link's port cannot hold a modem (COM1..COM4).
int CheckModemPort(std::FILE *err);
// Dials (the modem's answer and the speed to err), runs command through the
// connection and hangs up, also when the command fails. The command's
// result, or the dialling's when it fails (*dialFailed then true).
int RunDialled(const Options &options, const std::function<int()> &command, std::FILE *err, bool *dialFailed);

}  // namespace cli
