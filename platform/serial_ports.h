// The serial ports as an operator finds them: which device each COMn is,
// whether it can be used now, what adapter it is, and which serial devices
// the computer has. Each system has its own implementation file.
#pragma once
#include <string>
#include <vector>

namespace platform {

enum class PortState {
    Absent,        // no device behind the port, or a serial port without its chip
    InUse,         // another program holds it
    NoPermission,  // this user may not open it
    Free,
    Unprobed,  // there, but not opened to tell whether it is free: opening it would call out (a Bluetooth link)
};

// A serial device and what is known of it without opening it.
struct SerialDevice {
    std::string path;          // the device as the port names it, or as found among the devices
    std::string kernelName;    // the device's own name ("/dev/ttyUSB0"); "" when it does not exist
    std::string stablePath;    // a name that stays when the adapter is plugged in again; "" when none
    std::string description;   // USB adapters: manufacturer, product, serial number, VID:PID
    bool chipMissing = false;  // a serial port with no UART behind it
    bool bluetooth = false;    // a Bluetooth link: an open makes the system call the remote device
};

struct PortStatus {
    PortState state = PortState::Absent;
    int holderPid = 0;       // InUse: the process that holds the port, 0 when unknown
    std::string holderName;  // its command name
    std::string group;       // NoPermission: the group that owns the device
};

// The device behind COMn (see ComDevicePath). Never opens it.
SerialDevice ComPortDevice(int port);
// Whether the device can be opened now. A port held by another program is
// never disturbed: what is in use is found from locks before any opening.
PortStatus ProbeSerialDevice(const SerialDevice &device);
// The serial devices present (USB adapters, USB modems, serial ports with
// their chip), by name.
std::vector<SerialDevice> ListSerialDevices();
// How the operator gives the device the port number `number` instead of its
// own (a link to make, or where the system's settings are).
std::string RenumberAdvice(const SerialDevice &device, int number);
// Makes COMn the device: creates or replaces the link the port number goes
// through, naming the device by its stable name where it has one. 0, or -1
// with the reason in error (the device is not a character device, a file
// that is not a link stands in the way, ...). linkTarget receives what the
// link names.
int LinkComPort(int port, const std::string &device, std::string &linkTarget, std::string &error);

}  // namespace platform
