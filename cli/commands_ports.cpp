// The serial ports as this computer has them: what COM1..COM8 lead to and
// whether they can be used, the serial devices no COM port reaches yet, and
// linking a device as COMn.
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cli/command_table.h"
#include "korvi70/result_codes.h"
#include "platform/com.h"
#include "platform/serial_ports.h"

namespace cli {
namespace {

using Args = std::vector<std::string>;
using platform::PortState;

constexpr int kListedPorts = 8;
constexpr int kMaxPort = 100;

bool ParsePorts(const Args &args, Params &params, ArgError &error) {
    if (args.empty()) return true;
    if (args[0] != "--link") return ExpectCount(args, 0, "[--link N DEVICE]", error);
    if (!ExpectCount(args, 3, "--link N DEVICE", error)) return false;
    if (!ArgInt(args[1], 1, kMaxPort, "N", params.number[0], error)) return false;
    params.text = args[2];
    return true;
}

std::string StateText(const platform::SerialDevice &device, const platform::PortStatus &status) {
    switch (status.state) {
    case PortState::Absent:
        if (device.chipMissing) return "absent (a serial port without its UART)";
        return device.kernelName.empty() ? "absent" : "absent (not a serial device)";
    case PortState::InUse:
        if (status.holderPid <= 0) return "in use";
        return "in use by " + (status.holderName.empty() ? std::string("process") : status.holderName) + " (process " +
               std::to_string(status.holderPid) + ")";
    case PortState::NoPermission:
        return "no permission: the device belongs to the group \"" + status.group +
               "\"; add yourself to it (sudo usermod -aG " + status.group + " $USER) and log in again";
    case PortState::Free: return "free";
    case PortState::Unprobed:
        return "present (a Bluetooth link: not opened to tell whether it is free, as that calls the remote device)";
    }
    return {};
}

// The path as the port names it, and the device's own name when that differs.
std::string Shown(const platform::SerialDevice &device) {
    if (device.kernelName.empty() || device.kernelName == device.path) return device.path;
    return device.path + " (" + device.kernelName + ")";
}

// A port the program's port list does not offer, and how to bring it within.
void ShowAboveList(const Context &context, int port, const platform::SerialDevice &device, std::set<int> &unused) {
    std::fprintf(context.out, "COM%-2d  %-40s present, above COM%d, where the program's port list ends\n", port,
                 Shown(device).c_str(), kListedPorts);
    if (!device.description.empty()) std::fprintf(context.out, "       %s\n", device.description.c_str());
    const auto lower = unused.begin();
    if (lower == unused.end() || *lower > kListedPorts) {
        std::fprintf(context.out, "       COM1 to COM%d are all taken: free one to give this adapter its number\n",
                     kListedPorts);
        return;
    }
    std::fprintf(context.out, "       to give it a number the list offers: %s\n",
                 platform::RenumberAdvice(device, *lower).c_str());
    unused.erase(lower);
}

int ListPorts(const Context &context) {
    std::set<std::string> reached;
    std::set<int> unused;
    std::vector<std::pair<int, platform::SerialDevice>> aboveList;
    for (int port = 1; port <= kMaxPort; ++port) {
        platform::SerialDevice device = platform::ComPortDevice(port);
        if (!device.kernelName.empty()) reached.insert(device.kernelName);
        if (port > kListedPorts) {
            // Not opened: its number alone keeps it out of the list.
            if (device.kernelName.empty())
                unused.insert(port);
            else if (!device.chipMissing)
                aboveList.emplace_back(port, std::move(device));
            continue;
        }
        const platform::PortStatus status = platform::ProbeSerialDevice(device);
        if (status.state == PortState::Absent) unused.insert(port);
        std::fprintf(context.out, "COM%-2d  %-40s %s\n", port, Shown(device).c_str(),
                     StateText(device, status).c_str());
        if (!device.description.empty()) std::fprintf(context.out, "       %s\n", device.description.c_str());
    }
    for (const auto &[port, device] : aboveList) ShowAboveList(context, port, device, unused);
    bool heading = false;
    for (const platform::SerialDevice &device : platform::ListSerialDevices()) {
        if (reached.count(device.kernelName) != 0) continue;
        if (!heading) std::fprintf(context.out, "\nSerial devices that no COM port reaches:\n");
        heading = true;
        std::fprintf(context.out, "  %s%s%s\n", device.kernelName.c_str(), device.description.empty() ? "" : "  ",
                     device.description.c_str());
        if (unused.empty()) continue;
        const int port = *unused.begin();
        unused.erase(unused.begin());
        const std::string &name = device.stablePath.empty() ? device.kernelName : device.stablePath;
        std::fprintf(context.out, "      vgx52ctl ports --link %d %s\n", port, name.c_str());
    }
    return korvi70::kDone;
}

int Ports(const Context &context, const Params &params) {
    if (params.text.empty()) return ListPorts(context);
    std::string target, error;
    const int port = static_cast<int>(params.number[0]);
    if (platform::LinkComPort(port, params.text, target, error) != 0) {
        std::fprintf(context.err, "vgx52ctl: ports: %s\n", error.c_str());
        return korvi70::kRefused;
    }
    std::fprintf(context.out, "COM%d -> %s\n", port, target.c_str());
    return korvi70::kDone;
}

constexpr Command kCommands[] = {
    {"ports", "[--link N DEVICE]", "the serial ports; with --link: make DEVICE COMn", ParsePorts, Ports,
     /*opensLink=*/false},
};

}  // namespace

std::span<const Command> PortCommandTable() { return kCommands; }

}  // namespace cli
