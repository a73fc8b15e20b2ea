// The COMn ports of a Windows computer. Windows names every serial device
// COMn itself (Device Manager assigns the numbers), so there is no link to
// make. What a port is comes from the system's lists without opening it:
// the DOS device names (a port Windows can open has one), the serial-port
// map in the registry, and the Ports device class with the names Device
// Manager shows. Only "in use" needs an open: Windows lets one program at a
// time have a port and keeps no list of who has which.
#include <windows.h>
// After windows.h: the device class GUIDs are defined here, not linked in.
#include <devguid.h>
#include <initguid.h>
#include <setupapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/com.h"
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

// A registry text of at most `size` characters, terminated whatever the
// value held; "" when it is missing, not text or longer.
std::wstring RegText(HKEY key, const wchar_t *name, DWORD size = 256) {
    std::vector<wchar_t> text(size + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(size * sizeof(wchar_t));
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, text.data(), &bytes) != ERROR_SUCCESS) return {};
    return text.data();
}

// The device that the serial-port map (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM)
// gives COMn: its value names are devices, their data port names.
std::string SerialMapDevice(int port) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return {};
    std::string device;
    for (DWORD index = 0; index < 1000 && device.empty(); ++index) {
        wchar_t name[256], data[64];
        DWORD nameLength = static_cast<DWORD>(std::size(name)), type = 0;
        DWORD dataBytes = static_cast<DWORD>(sizeof data - sizeof(wchar_t));
        const LONG rc =
            RegEnumValueW(key, index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE *>(data), &dataBytes);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS || type != REG_SZ) continue;
        data[dataBytes / sizeof(wchar_t)] = L'\0';
        if (ComNumber(detail::Narrow(data)) == port) device = detail::Narrow(name);
    }
    RegCloseKey(key);
    return device;
}

// A text property of a device; "" when it has none or it does not fit.
// Lists (hardware IDs) give their first entry.
std::string DeviceProperty(HDEVINFO set, SP_DEVINFO_DATA &info, DWORD property) {
    wchar_t text[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &info, property, &type, reinterpret_cast<BYTE *>(text),
                                           static_cast<DWORD>(sizeof text - sizeof(wchar_t)), nullptr) ||
        (type != REG_SZ && type != REG_MULTI_SZ))
        return {};
    text[std::size(text) - 1] = L'\0';
    return detail::Narrow(text);
}

struct ClassEntry {
    std::string friendlyName;  // "USB Serial Port (COM5)"
    std::string hardwareId;    // "FTDIBUS\COMPORT&VID_0403&PID_6001"
};

// The present device of the Ports class that has COMn: its "PortName"
// setting names the port, or, lacking one, its name's "(COMn)" suffix.
bool PortsClassEntry(int port, ClassEntry &entry) {
    const HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return false;
    bool found = false;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD index = 0; !found && index < 1000 && SetupDiEnumDeviceInfo(set, index, &info); ++index) {
        const std::string friendly = DeviceProperty(set, info, SPDRP_FRIENDLYNAME);
        int named = 0;
        const HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
        if (key != INVALID_HANDLE_VALUE) {
            named = ComNumber(detail::Narrow(RegText(key, L"PortName")));
            RegCloseKey(key);
        }
        if (named == 0) WithoutComSuffix(friendly, &named);
        if (named != port) continue;
        entry.friendlyName = friendly;
        entry.hardwareId = DeviceProperty(set, info, SPDRP_HARDWAREID);
        found = true;
    }
    SetupDiDestroyDeviceInfoList(set);
    return found;
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
    const std::string mapped = SerialMapDevice(port);
    device.kernelName = mapped.empty() ? target : mapped;
    ClassEntry entry;
    if (PortsClassEntry(port, entry)) device.description = PortDescription(entry.friendlyName, entry.hardwareId);
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
