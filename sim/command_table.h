// The instrument's command set: one handler per hex command code and one per
// legacy letter, registered by the command files (commands_*.cpp). A handler
// sees the decoded request and the instrument, and says what to answer; the
// instrument builds the frame around it.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

class Instrument;

struct HexRequest {
    unsigned char destination = 0;
    unsigned char source = 0;
    unsigned char transaction = 0;
    unsigned char command = 0;
    std::string_view data;  // the request's data characters, as sent
};

struct HexReply {
    int status = 0;       // 0: executed, the data follows
    std::string data;     // reply data characters (status 0 only)
    bool silent = false;  // send nothing at all
    // Bytes sent as they are instead of a reply frame (the level-1 loader's
    // "OK", for example).
    std::optional<std::string> raw;
};

struct LegacyRequest {
    unsigned char address = 0;
    char letter = 0;
    std::string_view payload;
};

struct LegacyReply {
    std::string payload;
    bool silent = false;
};

using HexHandler = HexReply (*)(Instrument &instrument, const HexRequest &request);
using LegacyHandler = LegacyReply (*)(Instrument &instrument, const LegacyRequest &request);

class CommandTable {
public:
    void AddHex(int code, HexHandler handler) { hex_[static_cast<unsigned char>(code)] = handler; }
    void AddLegacy(char letter, LegacyHandler handler) { legacy_[static_cast<unsigned char>(letter)] = handler; }
    HexHandler Hex(int code) const { return hex_[static_cast<unsigned char>(code)]; }
    LegacyHandler Legacy(char letter) const { return legacy_[static_cast<unsigned char>(letter)]; }

private:
    std::array<HexHandler, 256> hex_{};
    std::array<LegacyHandler, 256> legacy_{};
};

// Each command file registers its handlers; RegisterAllCommands calls them all.
void RegisterGenericCommands(CommandTable &table);
void RegisterLegacyCommands(CommandTable &table);
void RegisterValueCommands(CommandTable &table);   // 1, 2, 4 to 7, 9, 10
void RegisterLoaderCommands(CommandTable &table);  // 11 to 19
void RegisterVgx52Commands(CommandTable &table);   // 0x81 to 0x87
void RegisterAllCommands(CommandTable &table);

// Hex text helpers for handlers: upper-case digits, either case read.
std::string Hex(unsigned long value, int digits);
bool ParseHex(std::string_view text, unsigned long *value);

}  // namespace sim
