#include "sim/tcp_server.h"

#include <cmath>
#include <vector>

#include "platform/system.h"

namespace sim {

namespace net = platform::detail;

GatewayServer::GatewayServer(Instrument &instrument) : instrument_(instrument) { net::OpenWake(wake_); }

GatewayServer::~GatewayServer() {
    Stop();
    for (Client &c : clients_) net::CloseSocket(c.fd);
    net::CloseSocket(listenFd_);
    net::CloseWake(wake_);
}

int GatewayServer::Listen(int port) {
    listenFd_ = net::ListenLoopback(port, port_);
    return listenFd_ == net::kNoSocket ? -1 : port_;
}

void GatewayServer::Start() {
    stopping_ = false;
    net::DrainWake(wake_);
    thread_ = std::thread([this] { Serve(); });
}

void GatewayServer::Stop() {
    stopping_ = true;
    net::Wake(wake_);
    if (thread_.joinable()) thread_.join();
}

void GatewayServer::Accept() {
    for (;;) {
        const Socket fd = net::AcceptClient(listenFd_);
        if (fd == net::kNoSocket) return;
        clients_.emplace_back(fd, instrument_, faults_, counters_);
    }
}

bool GatewayServer::ReadFrom(Client &client) {
    char buffer[4096];
    for (;;) {
        const long n = net::SocketReceive(client.fd, buffer, sizeof buffer);
        if (n == 0) return false;
        if (n < 0) return n == net::kSockWouldBlock;
        std::lock_guard<std::mutex> guard(mutex_);
        std::string out;
        client.gateway.Receive(std::string_view(buffer, static_cast<std::size_t>(n)), out);
        if (!out.empty()) client.output.Add(out, platform::Timer() + faults_.delay + instrument_.Faults().delay, 0.0);
    }
}

bool GatewayServer::Flush(Client &client) {
    unsigned char chunk[4096];
    for (std::size_t n; (n = client.output.Take(platform::Timer(), chunk, sizeof chunk)) > 0;)
        client.unsent.append(reinterpret_cast<const char *>(chunk), n);
    while (!client.unsent.empty()) {
        const long n = net::SocketSend(client.fd, client.unsent.data(), client.unsent.size());
        if (n > 0) {
            client.unsent.erase(0, static_cast<std::size_t>(n));
            continue;
        }
        return n == net::kSockWouldBlock;
    }
    return true;
}

void GatewayServer::Serve(Socket wake) {
    std::vector<net::SocketPoll> fds;
    while (!stopping_) {
        fds.clear();
        fds.push_back({wake_.reader, POLLIN, 0});
        fds.push_back({wake, POLLIN, 0});  // the wait skips a missing socket
        fds.push_back({listenFd_, POLLIN, 0});
        double next = INFINITY;
        for (Client &c : clients_) {
            fds.push_back({c.fd, static_cast<short>(POLLIN | (c.unsent.empty() ? 0 : POLLOUT)), 0});
            next = std::min(next, c.output.NextArrival());
        }
        const int r = net::WaitSockets(fds.data(), fds.size(), WaitUntil(next, platform::Timer()));
        if (r < 0) return;
        if (fds[0].revents != 0 || (wake != net::kNoSocket && fds[1].revents != 0)) return;
        if (fds[2].revents & POLLIN) Accept();
        std::size_t k = 3;
        for (auto it = clients_.begin(); it != clients_.end(); ++k) {
            bool alive = true;
            if (k < fds.size() && (fds[k].revents & (POLLIN | POLLHUP | POLLERR))) alive = ReadFrom(*it);
            if (alive) alive = Flush(*it);
            if (alive) {
                ++it;
            } else {
                net::CloseSocket(it->fd);
                it = clients_.erase(it);
            }
        }
    }
}

}  // namespace sim
