// Inside the Linux serial-port discovery: where the system shows its
// devices, and the facts read from there. Tests point the folders at trees
// of their own.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace platform::detail {

struct SerialSystemFolders {
    std::string dev = "/dev";
    std::string sys = "/sys";
    std::vector<std::string> locks = {"/var/lock", "/run/lock"};  // UUCP lock files
};
SerialSystemFolders &SerialFolders();

// The path with every link resolved; "" when it leads nowhere.
std::string RealPath(const std::string &path);
// The device number of a character device (links followed); false otherwise.
bool CharDeviceNumber(const std::string &path, dev_t &number);
// "manufacturer product, serial number S, USB vvvv:pppp" of a USB adapter;
// "" for other devices.
std::string UsbDescription(dev_t number);
// True for a serial port whose UART the kernel did not find.
bool UartMissing(dev_t number);
// The /dev/serial/by-id name of the device, "" when it has none.
std::string StableDeviceName(dev_t number);

// The live process named by a UUCP lock file of the device, 0 when none.
int UucpLockHolder(const std::string &devicePath);
// The group that owns the device ("" when unknown).
std::string DeviceGroup(const std::string &devicePath);
// Says on stderr that the device cannot be opened for lack of permission,
// and which group would give it.
void ReportNoPermission(const std::string &devicePath);

}  // namespace platform::detail
