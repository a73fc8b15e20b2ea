// The reply side of the TCP envelope: a command runs over a real loopback
// conversation with a Korvi70 TCP server played by this target, and the
// server answers the request with the input's bytes.
//
// Input: one selector byte (the command, modulo their count), then the
// bytes the server sends back: envelopes ('b' or 'c', four hex digits of
// length, payload) or anything else.
//
// All of it runs on one thread. A second conversation, whose event callback
// is the server's side, is made ready just before the command: the client
// sleeps in the platform's event wait while it waits for its reply, that
// wait runs the callback, and the callback sends the input's bytes. Should
// the client still be waiting when it next sleeps (no acceptable reply among
// them), the callback sends an error envelope, so no input costs the
// 2-second reply window. Before the client goes on, the callback waits until
// what it sent has arrived, so every run takes the same path.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "korvi70/config.h"
#include "korvi70/generic_commands.h"
#include "korvi70/link.h"
#include "korvi70/loader_commands.h"
#include "korvi70/password.h"
#include "korvi70/transaction.h"
#include "platform/system.h"
#include "platform/tcp.h"
#include "tests/fuzz/fuzz_support.h"
#include "ui/headless.h"
#include "vgx52/registers.h"

namespace {

// What the server sends when the client is still waiting: an error with code FFFF.
constexpr std::string_view kErrorEnvelope = "c0004FFFF";
constexpr int kErrorCode = 0xFFFF;
// Larger inputs are cut: the envelope's payload holds at most 1024 bytes.
constexpr std::size_t kMaxReply = 8192;

struct Server {
    int listener = -1;
    int conversation = -1;  // the server's end of the client's conversation
    int trigger = -1;       // the server's end of the second conversation
    unsigned triggerHandle = 0;
    std::string reply;
    int calls = 0;
};

Server &S() {
    static Server server;
    return server;
}

int Accept(int listener) {
    const int fd = accept(listener, nullptr, nullptr);
    FUZZ_CHECK(fd >= 0);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    // Each small send goes at once, not held back for the last one's acknowledgement.
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

void SendAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            poll(&p, 1, 100);
        } else {
            FUZZ_CHECK(!"the server's send failed");
        }
    }
}

void Drain(int fd) {
    char scratch[4096];
    while (recv(fd, scratch, sizeof scratch, MSG_DONTWAIT) > 0) {}
}

// Sends bytes to the client and waits (bounded) until its side holds them.
void SendToClient(std::string_view bytes) {
    if (bytes.empty()) return;
    SendAll(S().conversation, bytes);
    const double limit = platform::Timer() + 2.0;
    while (platform::TCPBytesAvailable(Korvi70_TCP_Uchwyt) < static_cast<int>(bytes.size()) &&
           platform::Timer() < limit)
        platform::Delay(0.0002);
}

// Event callback of the second conversation: runs each time the client
// sleeps waiting for its reply.
int ServerTurn(unsigned handle, int event, int, void *) {
    if (event != platform::TCP_DATAREADY) return 1;
    platform::DiscardTCPInput(handle);
    Server &s = S();
    ++s.calls;
    if (s.calls == 1) {
        // The request came before the client started waiting.
        pollfd p{s.conversation, POLLIN, 0};
        poll(&p, 1, 1000);
        Drain(s.conversation);
        SendToClient(s.reply);
    } else {
        SendToClient(kErrorEnvelope);
    }
    if (s.calls <= 2) SendAll(s.trigger, "t");  // ready again for the next wait
    return 1;
}

bool Start() {
    ui::headless::Install();
    Server &s = S();
    s.listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(s.listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || listen(s.listener, 4) != 0 ||
        getsockname(s.listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return false;
    const int port = ntohs(address.sin_port);

    korvi70::SetConfigDefaults();
    korvi70::SetTransactionSource([] { return 0x29; });
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    Korvi70_NrPortuTCP = port;
    Korvi70_TCPIP_TimeOut = 1;  // a payload shorter than its length costs 1 ms
    Korvi70_NrZlacza = 1;       // the no-operation command asks for COM1 to COM4
    if (Korvi70_IniZlacze(0) != 0) return false;
    s.conversation = Accept(s.listener);
    if (platform::ConnectToTCPServer(&s.triggerHandle, port, "127.0.0.1", ServerTurn, nullptr, 1000) < 0) return false;
    s.trigger = Accept(s.listener);
    return true;
}

bool IsStatusOrDone(int rc) { return rc >= 0 && rc <= 255; }

int Identify() {
    int type = -1;
    const int rc = Korvi70_PrzedstawSie(0, &type);
    if (rc == 0) FUZZ_CHECK(type >= 0 && type <= 0xFFFF);
    return rc;
}

int ReadReal() {
    double value = 0;
    return VGX52_PodWartFloat(0, 'E', &value);
}

int ReadSerial() {
    char text[Korvi70_DlugoscNumeruSeryjnego + 1];
    const int rc = Korvi70_PodNumerSeryjny(0, text);
    if (rc == 0) FUZZ_CHECK(text[Korvi70_DlugoscNumeruSeryjnego] == '\0');
    return rc;
}

int ReadSubDevice() {
    unsigned char code1 = 0, code2 = 0;
    int value1 = -1, value2 = -1;
    char text[Korvi70_RozmiarTekstuUrzadPodrzed];
    const int rc = Korvi70_PodIlnfoOUrzadPodrzed(0, 1, &code1, &code2, &value1, &value2, text);
    if (rc == 0) FUZZ_CHECK(value1 >= 0 && value1 <= 0xFFFF && value2 >= 0 && value2 <= 0xFFFF);
    return rc;
}

int WriteReal() { return VGX52_ZapWartFloat(0, 'a', 287.055); }
int Password() { return Korvi70_PodajeHaslo(5); }
int NoOperation() { return Korvi70_NOP(5); }

struct Command {
    int (*run)();
    bool legacy;
};

constexpr Command kCommands[] = {
    {Identify, false},  {ReadReal, false}, {ReadSerial, false}, {ReadSubDevice, false},
    {WriteReal, false}, {Password, true},  {NoOperation, true},
};
constexpr int kCommandCount = static_cast<int>(std::size(kCommands));

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool started = Start();
    FUZZ_CHECK(started);
    if (size == 0) return 0;
    Server &s = S();
    s.reply.assign(fuzz::AsText(data + 1, std::min(size - 1, kMaxReply)));
    s.calls = 0;
    // Left-overs of the last run: a late error envelope, the trigger byte.
    Drain(s.conversation);
    platform::DiscardTCPInput(s.triggerHandle);
    SendAll(s.trigger, "t");

    const Command &command = kCommands[data[0] % kCommandCount];
    const int rc = command.run();

    FUZZ_CHECK(command.legacy ? (rc == 0 || rc == 2 || rc == 3) : IsStatusOrDone(rc));
    FUZZ_CHECK(s.calls >= 1 && s.calls <= 2);
    // The error envelope fails a numbered command with the server's code.
    if (s.calls == 2 && !command.legacy) FUZZ_CHECK(rc == 2 && Korvi70_BladLacza == kErrorCode);
    FUZZ_CHECK(Korvi70_TCP_DlugoscOdb >= 0 && Korvi70_TCP_DlugoscOdb <= Korvi70_TCP_RozmiarBufora + 2);
    FUZZ_CHECK(Korvi70_TCP_PozycjaOdb >= 0 && Korvi70_TCP_PozycjaOdb <= Korvi70_TCP_DlugoscOdb);
    FUZZ_CHECK(Korvi70_TCP_Polaczony == 1);
    return 0;
}
