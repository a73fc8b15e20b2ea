#include "platform/port_names.h"

#include <cstdio>

namespace platform {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != Lower(prefix[i])) return false;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = Lower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Separators between the parts of a hardware ID.
bool Separator(char c) { return c == '\\' || c == '&' || c == '+'; }

// The four hex digits after `key` ("VID_"), where key starts a part of the
// ID and the digits end it.
bool FindId(std::string_view id, std::string_view key, unsigned &value) {
    for (std::size_t at = 0; at + key.size() + 4 <= id.size(); ++at) {
        if ((at > 0 && !Separator(id[at - 1])) || !StartsWithNoCase(id.substr(at), key)) continue;
        const std::size_t digits = at + key.size();
        if (digits + 4 < id.size() && !Separator(id[digits + 4])) continue;
        unsigned v = 0;
        bool hex = true;
        for (std::size_t i = digits; i < digits + 4 && hex; ++i) {
            const int d = HexDigit(id[i]);
            hex = d >= 0;
            v = v * 16 + static_cast<unsigned>(d);
        }
        if (!hex) continue;
        value = v;
        return true;
    }
    return false;
}

std::string_view TrimEnd(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

int ComNumber(std::string_view name) {
    if (name.substr(0, 4) == "\\\\.\\") name.remove_prefix(4);
    if (name.size() < 4 || name.size() > 7 || !StartsWithNoCase(name, "com")) return 0;
    int n = 0;
    for (char c : name.substr(3)) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n >= 1 && n <= 1000 ? n : 0;
}

std::string_view WithoutComSuffix(std::string_view friendlyName, int *suffixPort) {
    if (suffixPort) *suffixPort = 0;
    const std::string_view name = TrimEnd(friendlyName);
    const std::size_t open = name.rfind('(');
    if (name.empty() || name.back() != ')' || open == std::string_view::npos) return name;
    const int port = ComNumber(name.substr(open + 1, name.size() - open - 2));
    if (port == 0) return name;
    if (suffixPort) *suffixPort = port;
    return TrimEnd(name.substr(0, open));
}

bool UsbIds(std::string_view hardwareId, unsigned &vendor, unsigned &product) {
    unsigned v = 0, p = 0;
    if (!FindId(hardwareId, "VID_", v) || !FindId(hardwareId, "PID_", p)) return false;
    vendor = v;
    product = p;
    return true;
}

bool IsBluetoothName(std::string_view name) {
    if (StartsWithNoCase(name, "BTHENUM\\")) return true;
    const std::size_t slash = name.rfind('\\');
    return StartsWithNoCase(slash == std::string_view::npos ? name : name.substr(slash + 1), "BthModem");
}

std::string PortDescription(std::string_view friendlyName, std::string_view hardwareId) {
    std::string text(WithoutComSuffix(friendlyName));
    unsigned vendor = 0, product = 0;
    if (UsbIds(hardwareId, vendor, product)) {
        char ids[24];
        std::snprintf(ids, sizeof ids, "USB %04X:%04X", vendor, product);
        text += (text.empty() ? "" : ", ") + std::string(ids);
    } else if (IsBluetoothName(hardwareId)) {
        text += text.empty() ? "Bluetooth" : ", Bluetooth";
    }
    return text;
}

}  // namespace platform
