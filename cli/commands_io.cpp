// Reading and writing the instrument's I/O space ('F' and 'G' frames), the
// instrument addressed by --id.
#include <climits>
#include <string>

#include "cli/command_table.h"
#include "korvi70/io.h"
#include "korvi70/result_codes.h"

namespace cli {
namespace {

using Args = std::vector<std::string>;

// START and COUNT go to the command as given: its own range checks refuse
// them (result 1) without traffic.
bool ParseRead(const Args &args, Params &params, ArgError &error) {
    return ExpectCount(args, 2, "START COUNT", error) &&
           ArgInt(args[0], INT_MIN, INT_MAX, "START", params.number[0], error) &&
           ArgInt(args[1], INT_MIN, INT_MAX, "COUNT", params.number[1], error);
}

int IoRead(const Context &context, const Params &params) {
    const int count = static_cast<int>(params.number[1]);
    unsigned char bytes[255] = {};
    // A count the buffer cannot hold is one the command refuses.
    const int rc = WithAttempts(context, [&] {
        return Korvi70_PodWeWy(context.id, static_cast<int>(params.number[0]), count, count <= 255 ? bytes : nullptr);
    });
    if (rc != korvi70::kDone) return rc;
    for (int i = 0; i < count; ++i) std::fprintf(context.out, i == 0 ? "%02X" : " %02X", bytes[i]);
    std::fprintf(context.out, "\n");
    return korvi70::kDone;
}

bool ParseWrite(const Args &args, Params &params, ArgError &error) {
    if (args.size() < 2) return ExpectCount(args, 2, "START BYTE...", error);
    if (!ArgInt(args[0], INT_MIN, INT_MAX, "START", params.number[0], error)) return false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        long byte = 0;
        if (!ArgInt(args[i], 0, 255, "BYTE", byte, error)) return false;
        params.bytes.push_back(static_cast<unsigned char>(byte));
    }
    return true;
}

int IoWrite(const Context &context, const Params &params) {
    const int count = static_cast<int>(params.bytes.size());
    return WithAttempts(context, [&] {
        return Korvi70_ZapWeWy(context.id, static_cast<int>(params.number[0]), count, params.bytes.data());
    });
}

constexpr Command kCommands[] = {
    {"io-read", "START COUNT",
     "COUNT bytes (1..255) from START of the I/O space of the instrument at --id (2..255), in hex", ParseRead, IoRead},
    {"io-write", "START BYTE...",
     "write the bytes (at most 255) from START on in the I/O space of the instrument at --id", ParseWrite, IoWrite},
};

}  // namespace

std::span<const Command> IoCommandTable() { return kCommands; }

}  // namespace cli
