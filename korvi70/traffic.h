// An observer of every byte that passes the link primitives, for traffic
// logs. Null by default: the primitives then only test one pointer.
#pragma once

namespace korvi70 {

enum class TrafficDirection { Sent, Received };

// Called after a primitive moved `count` bytes (count > 0).
using TrafficObserver = void (*)(TrafficDirection direction, const unsigned char *bytes, int count);

// Installs observer (nullptr removes it); returns the previous one.
TrafficObserver SetTrafficObserver(TrafficObserver observer);

// The primitives' side: reports bytes to the observer, if any.
extern TrafficObserver g_trafficObserver;
inline void ReportTraffic(TrafficDirection direction, const void *bytes, int count) {
    if (g_trafficObserver != nullptr && bytes != nullptr && count > 0)
        g_trafficObserver(direction, static_cast<const unsigned char *>(bytes), count);
}

}  // namespace korvi70
