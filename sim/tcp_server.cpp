#include "sim/tcp_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <vector>

#include "platform/system.h"
#include "sim/poll_wait.h"

namespace sim {

GatewayServer::GatewayServer(Instrument &instrument) : instrument_(instrument) {
    if (pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) wakePipe_[0] = wakePipe_[1] = -1;
}

GatewayServer::~GatewayServer() {
    Stop();
    for (Client &c : clients_) close(c.fd);
    if (listenFd_ >= 0) close(listenFd_);
    for (int fd : wakePipe_)
        if (fd >= 0) close(fd);
}

int GatewayServer::Listen(int port) {
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) return -1;
    const int yes = 1;
    setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listenFd_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(listenFd_, 8) != 0 ||
        getsockname(listenFd_, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        close(listenFd_);
        listenFd_ = -1;
        return -1;
    }
    port_ = ntohs(address.sin_port);
    return port_;
}

void GatewayServer::Start() {
    stopping_ = false;
    char drained[16];
    while (wakePipe_[0] >= 0 && read(wakePipe_[0], drained, sizeof drained) > 0) {}
    thread_ = std::thread([this] { Serve(); });
}

void GatewayServer::Stop() {
    stopping_ = true;
    if (wakePipe_[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = write(wakePipe_[1], &byte, 1);
    }
    if (thread_.joinable()) thread_.join();
}

void GatewayServer::Accept() {
    for (;;) {
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        clients_.emplace_back(fd, instrument_, faults_, counters_);
    }
}

bool GatewayServer::ReadFrom(Client &client) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = recv(client.fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n == 0) return false;
        if (n < 0) return errno == EAGAIN || errno == EINTR;
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
        const ssize_t n = send(client.fd, client.unsent.data(), client.unsent.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0) {
            client.unsent.erase(0, static_cast<std::size_t>(n));
            continue;
        }
        return n < 0 && (errno == EAGAIN || errno == EINTR);
    }
    return true;
}

void GatewayServer::Serve(int wakeFd) {
    std::vector<pollfd> fds;
    while (!stopping_) {
        fds.clear();
        fds.push_back({wakePipe_[0], POLLIN, 0});
        fds.push_back({wakeFd, POLLIN, 0});  // poll() skips a negative descriptor
        fds.push_back({listenFd_, POLLIN, 0});
        double next = INFINITY;
        for (Client &c : clients_) {
            fds.push_back({c.fd, static_cast<short>(POLLIN | (c.unsent.empty() ? 0 : POLLOUT)), 0});
            next = std::min(next, c.output.NextArrival());
        }
        const int r = PollFor(fds.data(), fds.size(), WaitUntil(next, platform::Timer()));
        if (r < 0 && errno != EINTR) return;
        if (fds[0].revents != 0 || (wakeFd >= 0 && fds[1].revents != 0)) return;
        if (fds[2].revents & POLLIN) Accept();
        std::size_t k = 3;
        for (auto it = clients_.begin(); it != clients_.end(); ++k) {
            bool alive = true;
            if (k < fds.size() && (fds[k].revents & (POLLIN | POLLHUP | POLLERR))) alive = ReadFrom(*it);
            if (alive) alive = Flush(*it);
            if (alive) {
                ++it;
            } else {
                close(it->fd);
                it = clients_.erase(it);
            }
        }
    }
}

}  // namespace sim
