// What the system's lists say of a COM port without opening it: the
// serial-port map in the registry and the Ports device class, whose
// entries Device Manager shows. Registry and device texts are bounded and
// checked for their type; what does not fit is taken as missing.
#pragma once
#include <string>

namespace platform::detail {

// The device that the serial-port map (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM)
// gives COMn ("\Device\Serial0", "\Device\BthModem0"); "" when none.
std::string SerialMapDevice(int port);

struct PortsClassEntry {
    std::string friendlyName;  // "USB Serial Port (COM5)"
    std::string hardwareId;    // the first of its hardware IDs: "FTDIBUS\COMPORT&VID_0403&PID_6001"
};
// The present device of the Ports class that has COMn: its "PortName"
// setting names the port, or, lacking one, its name's "(COMn)" suffix.
bool FindPortsClassEntry(int port, PortsClassEntry &entry);

}  // namespace platform::detail
