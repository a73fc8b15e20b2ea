// The Korvi70 TCP server: clients send request envelopes, each request
// runs on the instrument's line in turn (one at a time, in the order they
// arrived, never two interleaved), and its client gets the reply or an
// error code back. The network is served from the calling thread, which
// sleeps in the system's poll between events; the line from a thread of
// its own.
#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "cli/serve/line_worker.h"
#include "cli/serve/request_reader.h"
#include "cli/serve/settings.h"
#include "envelope/envelope.h"
#include "platform/net_address.h"

namespace cli::serve {

// Seconds from a request's arrival by which its answer leaves: the client
// waits 2 s from its sending, and the answer has the network to cross.
inline constexpr double kAnswerWithin = 1.6;
// A request with less of that time left when its turn comes is not sent.
inline constexpr double kLeastTimeOnLine = 0.2;

class Server {
public:
    // Messages about clients (who connected, why one was closed) go to log.
    Server(const ServeSettings &settings, Exchange exchange, std::FILE *log);
    ~Server();
    Server(const Server &) = delete;
    Server &operator=(const Server &) = delete;

    // Opens the listening socket; false with the reason in *error.
    bool Listen(platform::detail::ListenError *error);
    const platform::NetAddress &Address() const { return address_; }

    // Serves until `stop` becomes readable. Then the request on the line
    // gets its answer, those still waiting get kServerStopping, and every
    // connection is closed. False when it stopped because waiting for the
    // network failed.
    bool Serve(platform::detail::SocketHandle stop);

private:
    struct Client {
        platform::detail::SocketHandle fd = platform::detail::kNoSocket;
        std::uint64_t id = 0;
        std::string name;
        double lastHeard = 0;
        double lastSent = 0;  // when the answer last moved
        RequestReader in;
        bool queued = false;  // in holds a request waiting for its answer
        bool onLine = false;  // that request is on the line now
        std::uint64_t order = 0;
        double arrived = 0;
        // The answer being sent.
        std::array<unsigned char, envelope::kHeaderSize + envelope::kMaxPayload> out{};
        std::size_t outCount = 0, outSent = 0;
        std::string closeReason;  // not empty: to be closed, for this reason
        // Not empty: what followed the request is not one; closed for this
        // reason once the answer has left.
        std::string refusal;
    };

    void Accept();
    void Receive(Client &client);
    void Judge(Client &client, envelope::Scan verdict);
    void Flush(Client &client);
    void Answer(Client &client, unsigned errorCode, std::span<const unsigned char> reply);
    void TakeLineResult();
    void StartNext();
    double IdleDeadline(const Client &client) const;
    void CloseExpiredIdle();
    void RemoveClosed();
    double NextWake() const;
    Client *Find(std::uint64_t id);
    void Note(const std::string &text);
    void ShutDown();

    ServeSettings settings_;
    LineWorker line_;
    std::FILE *log_;
    platform::detail::SocketHandle listener_ = platform::detail::kNoSocket;
    platform::NetAddress address_;
    std::vector<Client> clients_;
    std::uint64_t nextId_ = 1;
    std::uint64_t nextOrder_ = 0;
    std::uint64_t onLine_ = 0;  // the client whose request is on the line; 0: none
};

}  // namespace cli::serve
