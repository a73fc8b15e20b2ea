#include "cli/serve/server.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

#include "cli/serve/error_codes.h"
#include "platform/system.h"

namespace cli::serve {
namespace net = platform::detail;

namespace {

// Takes what a client still sends before its socket closes, so that the
// close does not reset the connection and lose the last answer on its way.
// Bounded: a client that never stops sending is cut off.
void CloseGently(net::SocketHandle fd) {
    char scratch[4096];
    for (int i = 0; i < 16 && net::SocketReceive(fd, scratch, sizeof scratch) > 0; ++i) {}
    net::CloseSocket(fd);
}

std::string ClientCount(std::size_t n) { return std::to_string(n) + (n == 1 ? " client" : " clients"); }

}  // namespace

Server::Server(const ServeSettings &settings, Exchange exchange, std::FILE *log)
    : settings_(settings), line_(std::move(exchange)), log_(log) {
    clients_.reserve(settings_.maxClients);
}

Server::~Server() {
    for (Client &c : clients_) net::CloseSocket(c.fd);
    net::CloseSocket(listener_);
}

bool Server::Listen(net::ListenError *error) {
    listener_ = platform::ListenAt(settings_.host, settings_.port, &address_, error);
    return listener_ != net::kNoSocket;
}

void Server::Note(const std::string &text) {
    if (log_ == nullptr) return;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32] = "";
    if (platform::LocalTime(now, local)) std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S ", &local);
    std::fprintf(log_, "%s%s\n", stamp, text.c_str());
    std::fflush(log_);
}

void Server::Accept() {
    for (;;) {
        platform::NetAddress peer;
        const net::SocketHandle fd = platform::AcceptFrom(listener_, &peer);
        if (fd == net::kNoSocket) return;
        const std::string name = platform::NetAddressText(peer);
        if (!settings_.allow.Empty() && !settings_.allow.Allows(peer)) {
            net::CloseSocket(fd);
            Note(name + " refused: not in the --allow networks");
            continue;
        }
        if (clients_.size() >= settings_.maxClients) {
            net::CloseSocket(fd);
            Note(name + " refused: " + ClientCount(clients_.size()) + " connected already");
            continue;
        }
        // Answers are short: each goes at once.
        net::SendAtOnce(fd);
        Client &c = clients_.emplace_back();
        c.fd = fd;
        c.id = nextId_++;
        c.name = name;
        c.lastHeard = platform::Timer();
        Note(name + " connected (" + ClientCount(clients_.size()) + ")");
    }
}

void Server::Receive(Client &c) {
    for (;;) {
        const std::span<unsigned char> space = c.in.Space();
        if (space.empty()) return;
        const long n = net::SocketReceive(c.fd, space.data(), space.size());
        if (n > 0) {
            c.lastHeard = platform::Timer();
            Judge(c, c.in.Added(static_cast<std::size_t>(n)));
        } else if (n == 0) {
            c.closeReason = c.queued ? "disconnected before its answer" : "disconnected";
            return;
        } else if (n == net::kSockWouldBlock) {
            return;
        } else {
            c.closeReason = "closed: the connection failed";
            return;
        }
    }
}

// Bytes that are not a request close their client, once the answer to the
// request before them has left.
void Server::Judge(Client &c, envelope::Scan verdict) {
    if (c.queued || !c.closeReason.empty() || !c.refusal.empty()) return;
    switch (verdict) {
    case envelope::Scan::Incomplete: return;
    case envelope::Scan::Complete:
        c.queued = true;
        c.order = nextOrder_++;
        c.arrived = platform::Timer();
        return;
    case envelope::Scan::NotAnEnvelope: {
        char first[8];
        std::snprintf(first, sizeof first, "0x%02X", c.in.FirstByte());
        c.refusal = std::string("closed: sent bytes that are not a request envelope (") +
                    (c.in.FirstByte() == envelope::kFrameMark ? "a length that is not hex" : first) + ")";
        return;
    }
    case envelope::Scan::TooLong:
        c.refusal = "closed: announced a request of " + std::to_string(c.in.AnnouncedLength()) + " bytes, more than " +
                    std::to_string(envelope::kMaxPayload);
        return;
    }
}

void Server::Flush(Client &c) {
    while (c.outSent < c.outCount && c.closeReason.empty()) {
        const long n = net::SocketSend(c.fd, c.out.data() + c.outSent, c.outCount - c.outSent);
        if (n > 0) {
            c.outSent += static_cast<std::size_t>(n);
            c.lastSent = platform::Timer();
        } else if (n == net::kSockWouldBlock)
            return;
        else
            c.closeReason = "disconnected before its answer";
    }
}

void Server::Answer(Client &c, unsigned errorCode, std::span<const unsigned char> reply) {
    if (errorCode == 0) {
        envelope::PutHeader(envelope::kFrameMark, reply.size(), c.out.data());
        std::memmove(c.out.data() + envelope::kHeaderSize, reply.data(), reply.size());
        c.outCount = envelope::kHeaderSize + reply.size();
    } else {
        const std::string error = envelope::ErrorReply(errorCode);
        std::memcpy(c.out.data(), error.data(), error.size());
        c.outCount = error.size();
    }
    c.outSent = 0;
    c.lastSent = platform::Timer();
    c.queued = false;
    c.onLine = false;
    // What came after the request moves up: perhaps the next request.
    Judge(c, c.in.Consume());
    Flush(c);
}

Server::Client *Server::Find(std::uint64_t id) {
    for (Client &c : clients_)
        if (c.id == id) return &c;
    return nullptr;
}

void Server::TakeLineResult() {
    const std::uint64_t id = onLine_;
    Client *c = Find(id);
    std::array<unsigned char, envelope::kMaxPayload> reply;
    std::size_t length = 0;
    unsigned code = 0;
    if (!line_.Finish(&code, reply, &length)) return;
    onLine_ = 0;
    // A client that left before its answer came has nothing to take it.
    if (c == nullptr || !c->closeReason.empty()) return;
    Answer(*c, code, std::span<const unsigned char>(reply.data(), length));
}

void Server::StartNext() {
    while (!line_.Busy()) {
        Client *oldest = nullptr;
        for (Client &c : clients_) {
            // A client still taking its last answer waits with its next request.
            const bool ready = c.queued && !c.onLine && c.closeReason.empty() && c.outSent == c.outCount;
            if (ready && (oldest == nullptr || c.order < oldest->order)) oldest = &c;
        }
        if (oldest == nullptr) return;
        const double deadline = oldest->arrived + kAnswerWithin;
        if (deadline - platform::Timer() < kLeastTimeOnLine) {
            Answer(*oldest, kNotSent, {});
            continue;
        }
        oldest->onLine = true;
        onLine_ = oldest->id;
        line_.Start(oldest->in.Payload(), deadline);
    }
}

// When a client is closed for doing nothing: the idle time after its
// answer last moved while it takes one (one that reads nothing would keep
// its place for ever), else after its last traffic either way. Negative
// while its request waits for the line or is on it.
double Server::IdleDeadline(const Client &c) const {
    if (!c.closeReason.empty()) return -1;
    if (c.outSent < c.outCount) return c.lastSent + settings_.idleSeconds;
    if (c.queued) return -1;
    return std::max(c.lastHeard, c.lastSent) + settings_.idleSeconds;
}

void Server::CloseExpiredIdle() {
    const double now = platform::Timer();
    for (Client &c : clients_) {
        const double deadline = IdleDeadline(c);
        if (deadline < 0 || now < deadline) continue;
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g s", settings_.idleSeconds);
        c.closeReason = (c.outSent < c.outCount ? "closed: stopped taking its answer for " : "closed: idle for ") +
                        std::string(seconds);
    }
}

double Server::NextWake() const {
    double next = -1;  // no limit
    const double now = platform::Timer();
    for (const Client &c : clients_) {
        const double deadline = IdleDeadline(c);
        if (deadline < 0) continue;
        const double left = std::max(0.0, deadline - now);
        if (next < 0 || left < next) next = left;
    }
    return next;
}

void Server::RemoveClosed() {
    for (auto it = clients_.begin(); it != clients_.end();) {
        const bool answered = it->outSent == it->outCount;
        if (it->closeReason.empty() && (it->refusal.empty() || !answered)) {
            ++it;
            continue;
        }
        CloseGently(it->fd);
        const std::string note = it->name + " " + (it->closeReason.empty() ? it->refusal : it->closeReason);
        it = clients_.erase(it);
        Note(note + " (" + ClientCount(clients_.size()) + " left)");
    }
}

bool Server::Serve(net::SocketHandle stop) {
    std::vector<net::SocketPoll> fds;
    bool failed = false;
    constexpr std::size_t kFirstClient = 3;
    for (;;) {
        fds.clear();
        fds.push_back({stop, POLLIN, 0});
        fds.push_back({listener_, POLLIN, 0});
        fds.push_back({line_.DoneSocket(), POLLIN, 0});
        for (const Client &c : clients_) {
            const bool reading = !c.in.Full() && c.refusal.empty();
            const short events = static_cast<short>((reading ? POLLIN : 0) | (c.outSent < c.outCount ? POLLOUT : 0));
            // A client with nothing to take or send is not watched (the wait skips a missing socket).
            fds.push_back({events != 0 ? c.fd : net::kNoSocket, events, 0});
        }
        if (net::WaitSockets(fds.data(), fds.size(), NextWake()) < 0) {
            Note("stopped: waiting for the network failed");
            failed = true;
            break;
        }
        if (fds[0].revents != 0) break;
        for (std::size_t i = 0; i < clients_.size() && i + kFirstClient < fds.size(); ++i) {
            const short revents = fds[i + kFirstClient].revents;
            if (revents & (POLLIN | POLLHUP | POLLERR)) Receive(clients_[i]);
            if (revents & POLLOUT) Flush(clients_[i]);
        }
        if (fds[2].revents != 0) TakeLineResult();
        if (fds[1].revents != 0) Accept();
        CloseExpiredIdle();
        RemoveClosed();
        StartNext();
        RemoveClosed();
    }
    ShutDown();
    return !failed;
}

void Server::ShutDown() {
    const auto answerWaiting = [this] {
        for (Client &c : clients_)
            if (c.queued && !c.onLine && c.closeReason.empty() && c.outSent == c.outCount)
                Answer(c, kServerStopping, {});
    };
    answerWaiting();
    // The request on the line gets its real answer: its transaction ends by its deadline.
    if (line_.Busy()) {
        net::SocketPoll done{line_.DoneSocket(), POLLIN, 0};
        net::WaitSockets(&done, 1, kAnswerWithin + 1.0);
        TakeLineResult();
        answerWaiting();
    }
    for (Client &c : clients_) {
        CloseGently(c.fd);
        Note(c.name + " closed: the server is stopping");
    }
    clients_.clear();
    net::CloseSocket(listener_);
    listener_ = net::kNoSocket;
}

}  // namespace cli::serve
