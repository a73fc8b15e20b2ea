// The names Windows gives serial ports, taken apart: port numbers, Device
// Manager's names and the hardware IDs of USB adapters and Bluetooth links.
#include <gtest/gtest.h>

#include <string>

#include "platform/port_names.h"

using namespace platform;

namespace {

TEST(PortNames, ComNumbers) {
    const struct {
        const char *name;
        int number;
    } kCases[] = {
        {"COM1", 1}, {"com12", 12}, {"\\\\.\\COM5", 5}, {"CoM1000", 1000}, {"COM1001", 0},
        {"COM0", 0}, {"COM", 0},    {"COM5x", 0},       {"LPT1", 0},       {"\\\\.\\", 0},
        {"", 0},     {"COM-1", 0},  {"COM12345", 0},    {"xCOM5", 0},
    };
    for (const auto &c : kCases) EXPECT_EQ(ComNumber(c.name), c.number) << c.name;
}

TEST(PortNames, DeviceManagerNamesLoseTheirPortSuffix) {
    const struct {
        const char *friendly;
        const char *name;
        int port;
    } kCases[] = {
        {"USB Serial Port (COM5)", "USB Serial Port", 5},
        {"Communications Port (COM1)", "Communications Port", 1},
        {"Silicon Labs CP210x USB to UART Bridge (COM12)", "Silicon Labs CP210x USB to UART Bridge", 12},
        {"USB-SERIAL CH340 (COM7)  ", "USB-SERIAL CH340", 7},
        {"Arduino Uno (com3)", "Arduino Uno", 3},
        // Parentheses that are no port suffix stay.
        {"Prolific USB-to-Serial Comm Port (v3)", "Prolific USB-to-Serial Comm Port (v3)", 0},
        {"Standard Serial over Bluetooth link", "Standard Serial over Bluetooth link", 0},
        {"Modem (COM)", "Modem (COM)", 0},
        {"(COM4)", "", 4},
        {"", "", 0},
        {"Port COM5)", "Port COM5)", 0},
    };
    for (const auto &c : kCases) {
        int port = -1;
        EXPECT_EQ(WithoutComSuffix(c.friendly, &port), c.name) << c.friendly;
        EXPECT_EQ(port, c.port) << c.friendly;
    }
}

TEST(PortNames, UsbVendorAndProductFromHardwareIds) {
    const struct {
        const char *id;
        bool found;
        unsigned vendor, product;
    } kCases[] = {
        {"USB\\VID_0403&PID_6001&REV_0600", true, 0x0403, 0x6001},
        {"FTDIBUS\\COMPORT&VID_0403&PID_6001", true, 0x0403, 0x6001},
        {"FTDIBUS\\VID_0403+PID_6001+A10K3ZQAA\\0000", true, 0x0403, 0x6001},
        {"USB\\VID_10C4&PID_EA60", true, 0x10C4, 0xEA60},
        {"usb\\vid_1a86&pid_7523&rev_0263", true, 0x1A86, 0x7523},
        {"USB\\VID_2341&PID_0043&MI_00", true, 0x2341, 0x0043},
        // A built-in port, a USB modem by class only, Bluetooth (its VID is
        // no USB vendor), IDs cut short or with more digits than an ID has.
        {"ACPI\\PNP0501", false, 0, 0},
        {"USB\\Class_02&SubClass_02", false, 0, 0},
        {"BTHENUM\\{00001101-0000-1000-8000-00805f9b34fb}_VID&0001005d_PID&223b", false, 0, 0},
        {"USB\\VID_0403", false, 0, 0},
        {"USB\\VID_040&PID_6001", false, 0, 0},
        {"USB\\VID_04031&PID_6001", false, 0, 0},
        {"USB\\VID_04G3&PID_6001", false, 0, 0},
        {"USB\\XVID_0403&PID_6001", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const auto &c : kCases) {
        unsigned vendor = 7, product = 7;
        EXPECT_EQ(UsbIds(c.id, vendor, product), c.found) << c.id;
        if (!c.found) continue;
        EXPECT_EQ(vendor, c.vendor) << c.id;
        EXPECT_EQ(product, c.product) << c.id;
    }
}

TEST(PortNames, BluetoothLinksAndTheLineTheOperatorSees) {
    EXPECT_TRUE(IsBluetoothName("BTHENUM\\{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&0002"));
    EXPECT_TRUE(IsBluetoothName("\\Device\\BthModem0"));
    EXPECT_TRUE(IsBluetoothName("bthenum\\x"));
    EXPECT_FALSE(IsBluetoothName("\\Device\\Serial0"));
    EXPECT_FALSE(IsBluetoothName("USB\\VID_0403&PID_6001"));
    EXPECT_FALSE(IsBluetoothName("\\Device\\VCP0"));

    const struct {
        const char *friendly, *id, *line;
    } kCases[] = {
        {"USB Serial Port (COM5)", "FTDIBUS\\COMPORT&VID_0403&PID_6001", "USB Serial Port, USB 0403:6001"},
        {"Communications Port (COM1)", "ACPI\\PNP0501", "Communications Port"},
        {"Standard Serial over Bluetooth link (COM9)", "BTHENUM\\{00001101-0000-1000-8000-00805f9b34fb}",
         "Standard Serial over Bluetooth link, Bluetooth"},
        {"", "USB\\VID_10C4&PID_EA60", "USB 10C4:EA60"},
        {"", "", ""},
    };
    for (const auto &c : kCases) EXPECT_EQ(PortDescription(c.friendly, c.id), c.line) << c.friendly;
}

}  // namespace
