#include "platform/comm_api_windows.h"

#include <atomic>

namespace platform::detail {
namespace {

const CommApi kSystem = {
    ::CreateFileW, ::CloseHandle,         ::ReadFile,       ::WriteFile,    ::WaitForSingleObject,
    ::CancelIoEx,  ::GetOverlappedResult, ::GetCommState,   ::SetCommState, ::SetCommTimeouts,
    ::SetCommMask, ::SetupComm,           ::ClearCommError, ::PurgeComm,
};

std::atomic<const CommApi *> g_api{&kSystem};

}  // namespace

const CommApi &SystemCommApi() { return kSystem; }
const CommApi &Comm() { return *g_api.load(); }
void UseCommApi(const CommApi *api) { g_api.store(api ? api : &kSystem); }

}  // namespace platform::detail
