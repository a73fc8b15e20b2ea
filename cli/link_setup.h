// Opening the link for vgx52ctl as the operator program does: the shared
// connection configuration is read, then a direct serial link with own ID
// 0x71 is forced (or a TCP gateway, when asked for).
#pragma once
#include <string>

#include "cli/options.h"

namespace cli {

// 0 when the link is open; otherwise 2 with a message in error.
int OpenLink(const Options &options, std::string &error);
void CloseLink();

}  // namespace cli
