#include <cstdio>

#include "sim/program.h"

namespace sim {

int ServePty(Instrument &, const SimOptions &) {
    std::fputs("vgx52-sim: --com needs a pseudo-terminal, which Windows does not have; use --tcp\n", stderr);
    return 1;
}

}  // namespace sim
