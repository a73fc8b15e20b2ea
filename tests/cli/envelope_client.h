// A Korvi70 TCP client for tests, on the platform's sockets: sends raw
// bytes or request envelopes and reads back envelopes, every wait bounded.
#pragma once
#include <string>

#include "platform/socket_sys.h"

namespace cli_test {

class EnvelopeClient {
public:
    EnvelopeClient() = default;
    ~EnvelopeClient();
    EnvelopeClient(const EnvelopeClient &) = delete;
    EnvelopeClient &operator=(const EnvelopeClient &) = delete;

    // receiveBuffer: the socket's receive buffer in bytes (0: the system's).
    bool Connect(int port, const char *host = "127.0.0.1", int receiveBuffer = 0);
    bool Send(const std::string &bytes);
    bool Request(const std::string &payload);  // sends 'b', the length, the payload
    // The next envelope whole ("" when none came within `seconds`).
    std::string Envelope(double seconds = 3.0);
    // True when the server closed the connection within `seconds`; what
    // came before the close is dropped.
    bool ClosedByServer(double seconds = 3.0);
    // Sends bytes over and over, reading nothing, until nothing has moved
    // for `quiet` seconds or the connection fails; false when the bytes
    // still flow after `limit` seconds.
    bool SendWithoutReading(const std::string &bytes, double quiet, double limit = 10.0);
    void Close();

private:
    // Reads exactly n more bytes into pending_; false when time runs out or the peer closes.
    bool Fill(std::size_t n, double seconds);

    platform::detail::SocketHandle fd_ = platform::detail::kNoSocket;
    std::string pending_;
};

}  // namespace cli_test
