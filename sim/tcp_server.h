// The simulated gateway listening on 127.0.0.1: every connection gets its
// own envelope reader in front of the one shared instrument. Serves from
// the calling thread (the vgx52-sim program) or from a thread of its own
// (tests), with every wait in the system's poll.
#pragma once
#include <atomic>
#include <list>
#include <mutex>
#include <string>
#include <thread>

#include "platform/socket_sys.h"
#include "sim/gateway.h"
#include "sim/instrument.h"
#include "sim/schedule.h"

namespace sim {

class GatewayServer {
public:
    explicit GatewayServer(Instrument &instrument);
    ~GatewayServer();
    GatewayServer(const GatewayServer &) = delete;
    GatewayServer &operator=(const GatewayServer &) = delete;

    // Binds 127.0.0.1:port (0 = any free port). Returns the port, or -1.
    int Listen(int port);
    int Port() const { return port_; }

    using Socket = platform::detail::SocketHandle;
    // Serves until Stop() is called or `wake` (when given) becomes readable.
    void Serve(Socket wake = platform::detail::kNoSocket);
    void Start();  // Serve() on a thread of its own
    void Stop();   // ends Serve() and joins the thread

    // Runs f(faults, instrument, counters) while the serving thread is held off.
    template <class F>
    auto Locked(F &&f) {
        std::lock_guard<std::mutex> guard(mutex_);
        return f(faults_, instrument_, counters_);
    }

private:
    struct Client {
        Client(Socket socket, Instrument &instrument, GatewayFaults &faults, GatewayCounters &counters)
            : fd(socket), gateway(instrument, faults, counters) {}
        Socket fd;
        Gateway gateway;
        OutputSchedule output;
        std::string unsent;
    };
    void Accept();
    bool ReadFrom(Client &client);  // false when the client has gone
    bool Flush(Client &client);     // false when the client has gone

    Instrument &instrument_;
    GatewayFaults faults_;
    GatewayCounters counters_;
    std::mutex mutex_;
    Socket listenFd_ = platform::detail::kNoSocket;
    int port_ = -1;
    platform::detail::WakeChannel wake_;
    std::atomic<bool> stopping_{false};
    std::list<Client> clients_;
    std::thread thread_;
};

}  // namespace sim
