#include "korvi70/traffic.h"

namespace korvi70 {

TrafficObserver g_trafficObserver = nullptr;

TrafficObserver SetTrafficObserver(TrafficObserver observer) {
    const TrafficObserver previous = g_trafficObserver;
    g_trafficObserver = observer;
    return previous;
}

}  // namespace korvi70
