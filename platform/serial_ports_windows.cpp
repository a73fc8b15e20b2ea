// The COMn ports of a Windows computer. Windows names every serial device
// COMn itself (Device Manager assigns the numbers), so there is no link to
// make; a port in use is one that refuses to be opened, as Windows lets one
// program at a time have it.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/com.h"
#include "platform/serial_ports.h"
#include "platform/wide_windows.h"

namespace platform {
namespace {

// The number n of a name "COMn", 0 for any other name.
int PortNumber(std::wstring_view name) {
    if (name.size() < 4 || name.size() > 7 || (name[0] | 0x20) != L'c' || (name[1] | 0x20) != L'o' ||
        (name[2] | 0x20) != L'm')
        return 0;
    int n = 0;
    for (wchar_t c : name.substr(3)) {
        if (c < L'0' || c > L'9') return 0;
        n = n * 10 + (c - L'0');
    }
    return n >= 1 && n <= 1000 ? n : 0;
}

// The kernel device behind a DOS device name ("\Device\Serial0"); "" when none.
std::string KernelName(int port) {
    wchar_t target[1024];
    const std::wstring name = L"COM" + std::to_wstring(port);
    const DWORD n = QueryDosDeviceW(name.c_str(), target, static_cast<DWORD>(std::size(target)));
    return n > 0 ? detail::Narrow(target) : std::string();
}

}  // namespace

SerialDevice ComPortDevice(int port) {
    SerialDevice device;
    device.path = ComDevicePath(port);
    if (!device.path.empty()) device.kernelName = KernelName(port);
    return device;
}

PortStatus ProbeSerialDevice(const SerialDevice &device) {
    PortStatus status;
    if (device.path.empty()) return status;
    // Opening a free port and closing it again disturbs nobody; a port that
    // another program has open refuses the open with access denied.
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
    std::vector<int> ports;
    for (const wchar_t *p = names.data(); *p && p < names.data() + names.size(); p += wcslen(p) + 1)
        if (const int n = PortNumber(p)) ports.push_back(n);
    std::sort(ports.begin(), ports.end());
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    std::vector<SerialDevice> devices;
    for (int n : ports) devices.push_back(ComPortDevice(n));
    return devices;
}

int LinkComPort(int port, const std::string &device, std::string &linkTarget, std::string &error) {
    (void)device;
    linkTarget.clear();
    error = "on Windows the number of COM" + std::to_string(port) +
            " is given to a device in Device Manager (Ports, the device's Properties, Port Settings, Advanced)";
    return -1;
}

}  // namespace platform
