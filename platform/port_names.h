// Names the system gives serial ports and their devices, taken apart
// without asking the system anything: "COMn", Device Manager's names
// ("USB Serial Port (COM5)") and the hardware IDs of its devices
// ("USB\VID_0403&PID_6001&REV_0600"). The system's lists feed them.
#pragma once
#include <string>
#include <string_view>

namespace platform {

// The n of "COMn" or "\\.\COMn" (letters in any case, n from 1 to 1000);
// 0 for any other name.
int ComNumber(std::string_view name);

// A Device Manager name without its "(COMn)" suffix, which only repeats the
// port number; names without one are returned whole. The suffix's number
// goes to suffixPort (0 when there is none).
std::string_view WithoutComSuffix(std::string_view friendlyName, int *suffixPort = nullptr);

// The USB vendor and product IDs that a hardware or device instance ID
// carries ("USB\VID_0403&PID_6001&REV_0600", "FTDIBUS\COMPORT&VID_0403&PID_6001",
// "FTDIBUS\VID_0403+PID_6001+A10K3ZQAA\0000"); false when it names none.
bool UsbIds(std::string_view hardwareId, unsigned &vendor, unsigned &product);

// A Bluetooth serial link: a device of the Bluetooth bus ("BTHENUM\...") or
// a Bluetooth modem device ("\Device\BthModem0"). Opening an outgoing one
// makes the system call the remote device, which can take seconds.
bool IsBluetoothName(std::string_view name);

// One line for the operator: the name without its suffix and, for a USB
// adapter, "USB vvvv:pppp" as Linux shows it ("USB Serial Port, USB 0403:6001").
std::string PortDescription(std::string_view friendlyName, std::string_view hardwareId);

}  // namespace platform
