// The whole command set. A new command file adds its Register... call here.
#include "sim/command_table.h"

namespace sim {

void RegisterAllCommands(CommandTable &table) {
    RegisterGenericCommands(table);
    RegisterLegacyCommands(table);
    RegisterValueCommands(table);
    RegisterLoaderCommands(table);
    RegisterVgx52Commands(table);
}

}  // namespace sim
