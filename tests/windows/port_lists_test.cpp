// The system's lists of serial ports as the port list reads them: the
// Ports device class, whose names Device Manager shows, and the serial-port
// map in the registry. The cases add entries of their own, so they run only
// where the system is thrown away afterwards (VGX52_SCRATCH_DRIVE=1, as
// scripts/test-windows sets it for its Wine prefix).
#include <gtest/gtest.h>

#include <windows.h>

#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/port_lists_windows.h"

namespace {

using platform::detail::FindPortsClassEntry;
using platform::detail::PortsClassEntry;
using platform::detail::SerialMapDevice;

const wchar_t kSerialMap[] = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

class SystemPortLists : public ::testing::Test {
protected:
    void SetUp() override {
        const char *scratch = std::getenv("VGX52_SCRATCH_DRIVE");
        if (!scratch || std::strcmp(scratch, "1") != 0)
            GTEST_SKIP() << "these cases add devices and registry values; they run only in a system that is "
                            "thrown away afterwards (VGX52_SCRATCH_DRIVE=1, scripts/test-windows)";
        devices_ = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, nullptr);
        ASSERT_NE(devices_, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        if (devices_ == INVALID_HANDLE_VALUE) return;
        for (SP_DEVINFO_DATA &info : added_) SetupDiRemoveDevice(devices_, &info);
        SetupDiDestroyDeviceInfoList(devices_);
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialMap, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            for (const std::wstring &name : mapped_) RegDeleteValueW(key, name.c_str());
            RegCloseKey(key);
        }
    }

    // A present device of the Ports class; hardwareIds is a list, each
    // entry ended by a NUL; portName may be null.
    void AddPort(const wchar_t *instance, const std::wstring &friendly, const std::wstring &hardwareIds,
                 const wchar_t *portName) {
        SP_DEVINFO_DATA info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(SetupDiCreateDeviceInfoW(devices_, instance, &GUID_DEVCLASS_PORTS, nullptr, nullptr, 0, &info));
        ASSERT_TRUE(SetupDiRegisterDeviceInfo(devices_, &info, 0, nullptr, nullptr, nullptr));
        added_.push_back(info);
        ASSERT_TRUE(SetupDiSetDeviceRegistryPropertyW(devices_, &info, SPDRP_FRIENDLYNAME,
                                                      reinterpret_cast<const BYTE *>(friendly.c_str()),
                                                      static_cast<DWORD>((friendly.size() + 1) * sizeof(wchar_t))));
        const std::wstring ids = hardwareIds + L'\0';
        ASSERT_TRUE(SetupDiSetDeviceRegistryPropertyW(devices_, &info, SPDRP_HARDWAREID,
                                                      reinterpret_cast<const BYTE *>(ids.data()),
                                                      static_cast<DWORD>(ids.size() * sizeof(wchar_t))));
        if (!portName) return;
        const HKEY key = SetupDiCreateDevRegKeyW(devices_, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
        ASSERT_NE(key, INVALID_HANDLE_VALUE);
        RegSetValueExW(key, L"PortName", 0, REG_SZ, reinterpret_cast<const BYTE *>(portName),
                       static_cast<DWORD>((wcslen(portName) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }

    void Map(const wchar_t *device, DWORD type, const void *data, DWORD bytes) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSerialMap, 0, nullptr, REG_OPTION_VOLATILE, KEY_SET_VALUE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(key, device, 0, type, static_cast<const BYTE *>(data), bytes), ERROR_SUCCESS);
        RegCloseKey(key);
        mapped_.push_back(device);
    }
    void MapText(const wchar_t *device, const std::wstring &port) {
        Map(device, REG_SZ, port.c_str(), static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t)));
    }

    HDEVINFO devices_ = INVALID_HANDLE_VALUE;
    std::vector<SP_DEVINFO_DATA> added_;
    std::vector<std::wstring> mapped_;
};

TEST_F(SystemPortLists, APortsDeviceGivesDeviceManagersNameAndItsFirstHardwareId) {
    AddPort(L"VGX52TEST\\FTDI\\77", L"USB Serial Port (COM77)",
            std::wstring(L"FTDIBUS\\COMPORT&VID_0403&PID_6001") + L'\0' + L"FTDIBUS\\COMPORT" + L'\0', L"COM77");
    // Without a PortName setting the name's suffix tells the port; with one,
    // the setting counts, not a suffix left from an earlier number.
    AddPort(L"VGX52TEST\\BUILTIN\\79", L"Communications Port (COM79)", std::wstring(L"ACPI\\PNP0501") + L'\0', nullptr);
    AddPort(L"VGX52TEST\\RENUMBERED\\80", L"USB-SERIAL CH340 (COM81)",
            std::wstring(L"USB\\VID_1A86&PID_7523&REV_0263") + L'\0', L"COM80");
    // A name longer than any Device Manager gives is taken as none, not cut.
    AddPort(L"VGX52TEST\\LONG\\82", std::wstring(600, L'x') + L" (COM82)",
            std::wstring(L"USB\\VID_10C4&PID_EA60") + L'\0', L"COM82");

    PortsClassEntry entry;
    ASSERT_TRUE(FindPortsClassEntry(77, entry));
    EXPECT_EQ(entry.friendlyName, "USB Serial Port (COM77)");
    EXPECT_EQ(entry.hardwareId, "FTDIBUS\\COMPORT&VID_0403&PID_6001");
    ASSERT_TRUE(FindPortsClassEntry(79, entry));
    EXPECT_EQ(entry.friendlyName, "Communications Port (COM79)");
    EXPECT_EQ(entry.hardwareId, "ACPI\\PNP0501");
    ASSERT_TRUE(FindPortsClassEntry(80, entry));
    EXPECT_EQ(entry.hardwareId, "USB\\VID_1A86&PID_7523&REV_0263");
    EXPECT_FALSE(FindPortsClassEntry(81, entry));
    entry = PortsClassEntry{};
    ASSERT_TRUE(FindPortsClassEntry(82, entry));
    EXPECT_EQ(entry.friendlyName, "");
    EXPECT_EQ(entry.hardwareId, "USB\\VID_10C4&PID_EA60");
    EXPECT_FALSE(FindPortsClassEntry(78, entry));
}

TEST_F(SystemPortLists, TheSerialPortMapNamesTheDriversDevice) {
    MapText(L"\\Device\\BthModem7", L"COM78");
    // Values that are no port name of the right type and length are passed
    // over, not read in part.
    const wchar_t unterminated[] = {L'C', L'O', L'M', L'7', L'6'};
    Map(L"\\Device\\VGX52Binary", REG_BINARY, unterminated, sizeof unterminated);
    MapText(L"\\Device\\VGX52Long", std::wstring(L"COM76") + L'\0' + std::wstring(100, L' '));
    EXPECT_EQ(SerialMapDevice(78), "\\Device\\BthModem7");
    EXPECT_EQ(SerialMapDevice(76), "");
    EXPECT_EQ(SerialMapDevice(75), "");
}

}  // namespace
