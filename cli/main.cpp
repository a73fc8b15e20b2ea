#include <cstdio>

#include "cli/cli.h"

int main(int argc, char **argv) { return cli::RunCli(argc, argv, stdout, stderr); }
