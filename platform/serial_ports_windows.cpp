// The COMn ports of a Windows computer. Windows names every serial device
// COMn itself (Device Manager assigns the numbers), so there is no link to
// make. What a port is comes from the system's lists without opening it:
// the DOS device names (a port Windows can open has one), the serial-port
// map in the registry, and the Ports device class with the names Device
// Manager shows. Only "in use" needs an open: Windows lets one program at a
// time have a port and keeps no list of who has which.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/com.h"
#include "platform/port_lists_windows.h"
#include "platform/port_names.h"
#include "platform/serial_ports.h"
#include "platform/wide_windows.h"

namespace platform {
namespace {

std::wstring ComName(int port) { return L"COM" + std::to_wstring(port); }

// The kernel device behind a DOS device name ("\Device\Serial0"); "" when
// the name does not exist, that is when Windows cannot open the port.
std::string DosTarget(int port) {
    wchar_t target[1024];
    const DWORD n = QueryDosDeviceW(ComName(port).c_str(), target, static_cast<DWORD>(std::size(target)));
    return n > 0 ? detail::Narrow(target) : std::string();
}

}  // namespace

SerialDevice ComPortDevice(int port) {
    SerialDevice device;
    device.path = ComDevicePath(port);
    if (device.path.empty()) return device;
    const std::string target = DosTarget(port);
    if (target.empty()) return device;
    // The map's name is the driver's own ("\Device\BthModem0"); the DOS
    // name's target is the same device where the map has none.
    const std::string mapped = detail::SerialMapDevice(port);
    device.kernelName = mapped.empty() ? target : mapped;
    detail::PortsClassEntry entry;
    if (detail::FindPortsClassEntry(port, entry))
        device.description = PortDescription(entry.friendlyName, entry.hardwareId);
    device.bluetooth = IsBluetoothName(device.kernelName) || IsBluetoothName(entry.hardwareId);
    return device;
}

PortStatus ProbeSerialDevice(const SerialDevice &device) {
    PortStatus status;
    if (device.path.empty() || device.kernelName.empty()) return status;
    if (device.bluetooth) {
        status.state = PortState::Unprobed;
        return status;
    }
    // The one way to learn whether another program has the port. The open
    // raises DTR and RTS and the close drops them again.
    const HANDLE h = CreateFileW(detail::Widen(device.path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        status.state = PortState::Free;
        return status;
    }
    switch (GetLastError()) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY: status.state = PortState::InUse; break;
    default: status.state = PortState::Absent; break;
    }
    return status;
}

std::vector<SerialDevice> ListSerialDevices() {
    // Every DOS device name, NUL-separated; the buffer grows until it fits.
    std::vector<wchar_t> names(65536);
    for (int attempt = 0; attempt < 6; ++attempt) {
        if (QueryDosDeviceW(nullptr, names.data(), static_cast<DWORD>(names.size())) != 0) break;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
        names.assign(names.size() * 2, L'\0');
    }
    names.back() = L'\0';
    std::vector<int> ports;
    for (const wchar_t *p = names.data(); p < names.data() + names.size() && *p; p += wcslen(p) + 1)
        if (const int n = ComNumber(detail::Narrow(p))) ports.push_back(n);
    std::sort(ports.begin(), ports.end());
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    std::vector<SerialDevice> devices;
    for (int n : ports) devices.push_back(ComPortDevice(n));
    return devices;
}

std::string RenumberAdvice(const SerialDevice &, int number) {
    return "in Device Manager, Ports (COM & LPT): the port's Properties, Port Settings, Advanced, COM Port Number: "
           "COM" +
           std::to_string(number);
}

int LinkComPort(int port, const std::string &device, std::string &linkTarget, std::string &error) {
    (void)device;
    linkTarget.clear();
    error = "on Windows the number of COM" + std::to_string(port) + " is given to a device " +
            RenumberAdvice(SerialDevice{}, port);
    return -1;
}

}  // namespace platform
