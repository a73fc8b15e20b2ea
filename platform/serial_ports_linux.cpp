// The COMn ports and the serial devices of a Linux computer.
#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/com.h"
#include "platform/drive_folder.h"
#include "platform/name_lookup.h"
#include "platform/paths.h"
#include "platform/serial_linux.h"
#include "platform/serial_ports.h"

namespace platform {
namespace {

// The names of serial devices: USB adapters, USB modems (CDC ACM) and the
// computer's own serial ports.
constexpr const char *kFamilies[] = {"ttyUSB", "ttyACM", "ttyS"};

// The family index and number of a device name, false for other names.
bool SerialName(const std::string &name, std::size_t &family, unsigned long &number) {
    for (std::size_t i = 0; i < std::size(kFamilies); ++i) {
        const std::size_t length = std::strlen(kFamilies[i]);
        if (name.compare(0, length, kFamilies[i]) != 0 || name.size() == length || name.size() > length + 6) continue;
        if (name.find_first_not_of("0123456789", length) != std::string::npos) continue;
        family = i;
        number = std::strtoul(name.c_str() + length, nullptr, 10);
        return true;
    }
    return false;
}

// Fills what sysfs and /dev/serial/by-id tell of the device at path.
SerialDevice Describe(const std::string &path) {
    SerialDevice device;
    device.path = path;
    dev_t number = 0;
    if (!detail::CharDeviceNumber(path, number)) return device;
    device.kernelName = detail::RealPath(path);
    device.stablePath = detail::StableDeviceName(number);
    device.description = detail::UsbDescription(number);
    device.chipMissing = detail::UartMissing(number);
    return device;
}

std::string Absolute(const std::string &path) {
    if (!path.empty() && path[0] == '/') return path;
    char folder[PATH_MAX];
    return getcwd(folder, sizeof folder) ? std::string(folder) + "/" + path : path;
}

}  // namespace

SerialDevice ComPortDevice(int port) { return Describe(ComDevicePath(port)); }

std::vector<SerialDevice> ListSerialDevices() {
    struct Found {
        std::size_t family;
        unsigned long number;
        std::string name;
    };
    std::vector<Found> found;
    const std::string folder = detail::SerialFolders().dev;
    std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(folder.c_str()), closedir);
    while (dir) {
        const dirent *entry = readdir(dir.get());
        if (entry == nullptr) break;
        Found f{0, 0, entry->d_name};
        if (SerialName(f.name, f.family, f.number)) found.push_back(f);
    }
    // In the order a person counts them: ttyS2 before ttyS10.
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        return a.family != b.family ? a.family < b.family : a.number < b.number;
    });
    std::vector<SerialDevice> devices;
    for (const Found &f : found) {
        SerialDevice device = Describe(folder + "/" + f.name);
        // Most computers list four ttyS ports whatever they have.
        if (!device.kernelName.empty() && !device.chipMissing) devices.push_back(std::move(device));
    }
    return devices;
}

std::string RenumberAdvice(const SerialDevice &device, int number) {
    const std::string &name = device.stablePath.empty() ? device.kernelName : device.stablePath;
    return "vgx52ctl ports --link " + std::to_string(number) + " " + (name.empty() ? device.path : name);
}

int LinkComPort(int port, const std::string &device, std::string &linkTarget, std::string &error) {
    if (port < 1 || port > 1000) {
        error = "COM" + std::to_string(port) + " is not a port number";
        return -1;
    }
    dev_t number = 0;
    if (!detail::CharDeviceNumber(device, number)) {
        struct stat st;
        error = stat(device.c_str(), &st) != 0 ? device + ": " + std::strerror(errno)
                                               : device + " is not a character device";
        return -1;
    }
    const std::string stable = detail::StableDeviceName(number);
    const std::string target = stable.empty() ? Absolute(device) : stable;

    const std::string root = DriveRoot();
    if (const int rc = detail::MakeHostDirs(root); rc != 0) {
        error = "cannot create " + root + ": " + std::strerror(rc);
        return -1;
    }
    // A link spelled "COM3" is the port's link too: it is the one replaced.
    std::string name;
    detail::FindEntry(root, "com" + std::to_string(port), name);
    const std::string link = root + "/" + name;
    struct stat st;
    if (lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        error = link + " exists and is not a link; it is left as it is";
        return -1;
    }
    // Made beside it and renamed over it, so the port always leads somewhere.
    const std::string temporary = root + "/." + name + ".new." + std::to_string(getpid());
    unlink(temporary.c_str());
    if (symlink(target.c_str(), temporary.c_str()) != 0 || rename(temporary.c_str(), link.c_str()) != 0) {
        error = "cannot create " + link + ": " + std::strerror(errno);
        unlink(temporary.c_str());
        return -1;
    }
    linkTarget = target;
    return 0;
}

}  // namespace platform
