// vgx52ctl: instrument commands from the command line, for automation and
// service work. Values go to out one per line, messages to err; the result
// is the exit status (the command's result code, or 64 for bad usage).
#pragma once
#include <cstdio>

namespace cli {

int RunCli(int argc, const char *const *argv, std::FILE *out, std::FILE *err);

}  // namespace cli
