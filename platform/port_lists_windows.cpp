#include "platform/port_lists_windows.h"

#include <windows.h>

// Before devguid.h: its class GUIDs are then defined here, not looked for
// in a library.
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

#include <vector>

#include "platform/port_names.h"
#include "platform/wide_windows.h"

namespace platform::detail {
namespace {

// A registry text of at most `size` characters, terminated whatever the
// value held; "" when it is missing, not text or longer.
std::wstring RegText(HKEY key, const wchar_t *name, DWORD size = 256) {
    std::vector<wchar_t> text(size + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(size * sizeof(wchar_t));
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, text.data(), &bytes) != ERROR_SUCCESS) return {};
    return text.data();
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
    return Narrow(text);
}

}  // namespace

// The map's value names are devices, their data port names.
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
        if (ComNumber(Narrow(data)) == port) device = Narrow(name);
    }
    RegCloseKey(key);
    return device;
}

bool FindPortsClassEntry(int port, PortsClassEntry &entry) {
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
            named = ComNumber(Narrow(RegText(key, L"PortName")));
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

}  // namespace platform::detail
