// Generic commands every Korvi70 instrument answers.
#include "sim/command_table.h"
#include "sim/instrument.h"

namespace sim {
namespace {

HexReply Identify(Instrument &instrument, const HexRequest &) {
    HexReply reply;
    reply.data = Hex(instrument.State().typeCode & 0xFFFF, 4);
    return reply;
}

}  // namespace

void RegisterGenericCommands(CommandTable &table) { table.AddHex(3, Identify); }

}  // namespace sim
