#include "platform/paths.h"

namespace platform {

const char *PathErrorText(int code) {
    switch (code) {
    case kPathErrNotFound: return "a folder on the way does not exist";
    case kPathErrInvalid: return "the name is not valid";
    case kPathErrAccess: return "access denied";
    case kPathErrIsFile: return "a file stands where a folder should be";
    case kPathErrDiskFull: return "the disk is full";
    case kPathErrExists: return "the name exists already";
    default: return "the system refused it";
    }
}

}  // namespace platform
