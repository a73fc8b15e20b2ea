// COMn on Windows is the device \\.\COMn: the prefix reaches every port
// number, where the bare name "COMn" works for COM1 to COM9 only.
#include "platform/com.h"

namespace platform {

std::string ComDevicePath(int port) {
    if (port < 1 || port > 1000) return {};
    return "\\\\.\\COM" + std::to_string(port);
}

}  // namespace platform
