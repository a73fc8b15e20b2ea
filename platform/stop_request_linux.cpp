#include <signal.h>

#include "platform/stop_request.h"

namespace platform {
namespace {

detail::WakeChannel g_stop;

void OnSignal(int) { detail::Wake(g_stop); }  // a write to a pipe: safe in a handler

}  // namespace

bool InstallStopRequests() {
    if (g_stop.reader == detail::kNoSocket && !detail::OpenWake(g_stop)) return false;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // A client that goes away must not end the program through a write.
    signal(SIGPIPE, SIG_IGN);
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

detail::SocketHandle StopRequestSocket() { return g_stop.reader; }

void StopRequestDone() {}

}  // namespace platform
