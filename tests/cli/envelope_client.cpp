#include "tests/cli/envelope_client.h"

#include <cstring>

#include "envelope/envelope.h"
#include "platform/deadline.h"

namespace cli_test {
namespace net = platform::detail;

EnvelopeClient::~EnvelopeClient() { Close(); }

void EnvelopeClient::Close() {
    net::CloseSocket(fd_);
    fd_ = net::kNoSocket;
    pending_.clear();
}

bool EnvelopeClient::Connect(int port, const char *host, int receiveBuffer) {
    Close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo *list = nullptr;
    if (!net::StartSockets() || getaddrinfo(host, std::to_string(port).c_str(), &hints, &list) != 0) return false;
    fd_ = net::OpenStreamSocket(list->ai_family, list->ai_protocol);
    if (fd_ != net::kNoSocket && receiveBuffer > 0)
        setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char *>(&receiveBuffer), sizeof receiveBuffer);
    const bool connected = fd_ != net::kNoSocket && net::ConnectWithin(fd_, list->ai_addr, list->ai_addrlen, 3.0) == 1;
    freeaddrinfo(list);
    return connected;
}

bool EnvelopeClient::Send(const std::string &bytes) {
    const net::Deadline deadline(3.0);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long n = net::SocketSend(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n != net::kSockWouldBlock || deadline.Expired()) return false;
        net::SocketPoll p{fd_, POLLOUT, 0};
        net::WaitSockets(&p, 1, deadline.Remaining());
    }
    return true;
}

bool EnvelopeClient::Request(const std::string &payload) { return Send(envelope::Wrap('b', payload)); }

bool EnvelopeClient::Fill(std::size_t n, double seconds) {
    const net::Deadline deadline(seconds);
    while (pending_.size() < n) {
        char buffer[2048];
        const long got = net::SocketReceive(fd_, buffer, std::min(sizeof buffer, n - pending_.size()));
        if (got > 0) {
            pending_.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got != net::kSockWouldBlock || deadline.Expired()) return false;
        net::SocketPoll p{fd_, POLLIN, 0};
        net::WaitSockets(&p, 1, deadline.Remaining());
    }
    return true;
}

std::string EnvelopeClient::Envelope(double seconds) {
    const net::Deadline deadline(seconds);
    if (!Fill(envelope::kHeaderSize, deadline.Remaining())) return "";
    char mark = 0;
    std::size_t length = 0;
    if (!envelope::ParseHeader(reinterpret_cast<const unsigned char *>(pending_.data()), &mark, &length)) {
        std::string bad = pending_;
        pending_.clear();
        return bad;  // whatever it is, the test shows it
    }
    if (!Fill(envelope::kHeaderSize + length, deadline.Remaining())) return "";
    std::string whole = pending_;
    pending_.clear();
    return whole;
}

bool EnvelopeClient::ClosedByServer(double seconds) {
    const net::Deadline deadline(seconds);
    for (;;) {
        char buffer[2048];
        const long got = net::SocketReceive(fd_, buffer, sizeof buffer);
        if (got == 0 || got == net::kSockFailed) return true;
        if (got > 0) continue;
        if (deadline.Expired()) return false;
        net::SocketPoll p{fd_, POLLIN, 0};
        net::WaitSockets(&p, 1, deadline.Remaining());
    }
}

bool EnvelopeClient::SendWithoutReading(const std::string &bytes, double quiet, double limit) {
    const net::Deadline deadline(limit);
    std::size_t at = 0;
    while (!bytes.empty() && !deadline.Expired()) {
        const long n = net::SocketSend(fd_, bytes.data() + at, bytes.size() - at);
        if (n > 0) {
            at = (at + static_cast<std::size_t>(n)) % bytes.size();
            continue;
        }
        if (n != net::kSockWouldBlock) return true;
        net::SocketPoll p{fd_, POLLOUT, 0};
        if (net::WaitSockets(&p, 1, quiet) == 0) return true;
    }
    return false;
}

}  // namespace cli_test
