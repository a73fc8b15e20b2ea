// What the kernel tells of a serial device in sysfs and /dev/serial/by-id.
#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <memory>

#include "platform/serial_linux.h"

namespace platform::detail {
namespace {

// Sysfs attributes are short; anything longer is cut.
constexpr std::size_t kMaxAttribute = 256;
// A device's folder is at most this many levels below its USB device.
constexpr int kMaxLevelsUp = 12;

// One line of a sysfs attribute, without its line end; control characters
// (which no name should hold) become '?'.
bool ReadAttribute(const std::string &path, std::string &value) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    char buffer[kMaxAttribute];
    file.read(buffer, sizeof buffer);
    value.assign(buffer, static_cast<std::size_t>(file.gcount()));
    if (const std::size_t end = value.find('\n'); end != std::string::npos) value.resize(end);
    for (char &c : value)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return true;
}

// The device's own folder in sysfs, "" when the kernel shows none.
std::string DeviceFolder(dev_t number) {
    return RealPath(SerialFolders().sys + "/dev/char/" + std::to_string(major(number)) + ":" +
                    std::to_string(minor(number)));
}

}  // namespace

std::string RealPath(const std::string &path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

SerialSystemFolders &SerialFolders() {
    static SerialSystemFolders folders;
    return folders;
}

bool CharDeviceNumber(const std::string &path, dev_t &number) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    number = st.st_rdev;
    return true;
}

bool UartMissing(dev_t number) {
    const std::string folder = DeviceFolder(number);
    std::string type;
    // Only ports of the serial core say their UART type; 0 is "unknown".
    return !folder.empty() && ReadAttribute(folder + "/type", type) && type == "0";
}

std::string UsbDescription(dev_t number) {
    std::string folder = DeviceFolder(number);
    const std::string top = RealPath(SerialFolders().sys);
    for (int level = 0; level < kMaxLevelsUp && !folder.empty() && folder.size() > top.size(); ++level) {
        std::string vendor, product;
        if (ReadAttribute(folder + "/idVendor", vendor) && ReadAttribute(folder + "/idProduct", product)) {
            std::string maker, name, serial;
            ReadAttribute(folder + "/manufacturer", maker);
            ReadAttribute(folder + "/product", name);
            ReadAttribute(folder + "/serial", serial);
            std::string text = maker;
            if (!name.empty()) text += (text.empty() ? "" : " ") + name;
            if (!serial.empty()) text += (text.empty() ? "" : ", ") + std::string("serial number ") + serial;
            return text + (text.empty() ? "" : ", ") + "USB " + vendor + ":" + product;
        }
        folder.resize(folder.rfind('/'));
    }
    return {};
}

std::string StableDeviceName(dev_t number) {
    const std::string folder = SerialFolders().dev + "/serial/by-id";
    std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return {};
    std::string best;
    while (const dirent *entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        dev_t other = 0;
        // Several names may lead to one device: the first in order is taken.
        if (CharDeviceNumber(folder + "/" + name, other) && other == number && (best.empty() || name < best))
            best = name;
    }
    return best.empty() ? std::string() : folder + "/" + best;
}

}  // namespace platform::detail
