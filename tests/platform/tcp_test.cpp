// The TCP client against listeners on the loopback interface. The test's
// own end goes through the platform's socket layer, so the suite runs on
// every system.
#include <gtest/gtest.h>

#include <vector>

#include "platform/deadline.h"
#include "platform/net_address.h"
#include "platform/socket_sys.h"
#include "platform/system.h"
#include "platform/tcp.h"
#include "test_support.h"

using namespace platform;
using detail::kNoSocket;
using detail::SocketHandle;

namespace {

struct Listener {
    SocketHandle fd = kNoSocket;
    int port = 0;
    Listener() { fd = detail::ListenLoopback(0, port); }
    ~Listener() { detail::CloseSocket(fd); }
    // The connection waiting to be accepted (within 2 s), else kNoSocket.
    SocketHandle Accept() {
        detail::SocketPoll p{fd, POLLIN, 0};
        return detail::WaitSockets(&p, 1, 2.0) > 0 ? detail::AcceptClient(fd) : kNoSocket;
    }
};

struct Event {
    unsigned handle;
    int event;
};

struct Recorder {
    std::vector<Event> events;
    std::string readInCallback;
    std::size_t readCount = 0;  // bytes the callback reads on data-ready
    bool disconnectOnData = false;
};

int Record(unsigned handle, int event, int, void *data) {
    auto *r = static_cast<Recorder *>(data);
    r->events.push_back({handle, event});
    if (event == TCP_DATAREADY && r->readCount > 0) {
        std::string buf(r->readCount, '\0');
        const int n = ClientTCPRead(handle, buf.data(), buf.size(), 500);
        if (n > 0) r->readInCallback.append(buf.data(), static_cast<std::size_t>(n));
    }
    if (event == TCP_DATAREADY && r->disconnectOnData) DisconnectFromTCPServer(handle);
    return 1;
}

class TcpTest : public ::testing::Test {
protected:
    Listener listener;
    Recorder recorder;
    unsigned handle = 0;
    SocketHandle server = kNoSocket;

    void SetUp() override {
        ASSERT_EQ(ConnectToTCPServer(&handle, listener.port, "127.0.0.1", Record, &recorder, 1000), 0);
        server = listener.Accept();
        ASSERT_NE(server, kNoSocket);
    }
    void TearDown() override {
        DisconnectFromTCPServer(handle);
        detail::CloseSocket(server);
    }
    void ServerSends(const std::string &s) {
        ASSERT_EQ(detail::SocketSend(server, s.data(), s.size()), static_cast<long>(s.size()));
    }
    // Up to count bytes that arrive within 2 s.
    std::string ServerReceives(std::size_t count) {
        std::string got(count, '\0');
        std::size_t n = 0;
        const detail::Deadline deadline(2.0);
        while (n < count) {
            const long r = detail::SocketReceive(server, got.data() + n, count - n);
            if (r > 0) {
                n += static_cast<std::size_t>(r);
                continue;
            }
            detail::SocketPoll p{server, POLLIN, 0};
            if (r != detail::kSockWouldBlock || detail::WaitSockets(&p, 1, deadline.Remaining()) <= 0) break;
        }
        got.resize(n);
        return got;
    }
};

TEST_F(TcpTest, EchoBothWaysAndShortReadOnTimeOut) {
    EXPECT_GT(handle, 0u);
    const std::string request = "b000C71002900";
    EXPECT_EQ(ClientTCPWrite(handle, request.data(), request.size(), 500), static_cast<int>(request.size()));
    EXPECT_EQ(ServerReceives(request.size()), request);

    ServerSends("b0004");
    char buf[16] = {};
    EXPECT_EQ(ClientTCPRead(handle, buf, 5, 500), 5);
    EXPECT_EQ(std::string(buf, 5), "b0004");

    ServerSends("7E");
    const double start = Timer();
    EXPECT_EQ(ClientTCPRead(handle, buf, 10, 200), 2);
    EXPECT_GE(Timer() - start, 0.19);
    EXPECT_EQ(std::string(buf, 2), "7E");
}

TEST_F(TcpTest, EventWaitRunsTheCallbackForNewDataOnly) {
    recorder.readCount = 5;
    ServerSends("hello");
    EXPECT_EQ(ProcessTCPEvents(2.0), 1);
    ASSERT_EQ(recorder.events.size(), 1u);
    EXPECT_EQ(recorder.events[0].handle, handle);
    EXPECT_EQ(recorder.events[0].event, TCP_DATAREADY);
    EXPECT_EQ(recorder.readInCallback, "hello");

    // Data the callback leaves unread is reported once, stays readable, and
    // does not make the following waits return at once.
    recorder.readCount = 0;
    ServerSends("abc");
    EXPECT_EQ(ProcessTCPEvents(2.0), 1);
    const double start = Timer();
    EXPECT_EQ(ProcessTCPEvents(0.2), 0);
    EXPECT_GE(Timer() - start, 0.19);
    EXPECT_EQ(TCPBytesAvailable(handle), 3);
    char buf[8];
    EXPECT_EQ(ClientTCPRead(handle, buf, 3, 100), 3);
    EXPECT_EQ(std::string(buf, 3), "abc");
    EXPECT_EQ(recorder.events.size(), 2u);
}

TEST_F(TcpTest, SilentServerWaitSleepsUntilTheDeadline) {
    const double start = Timer();
    const double cpu = platform_test::CpuSeconds();
    EXPECT_EQ(ProcessTCPEvents(2.0), 0);
    const double elapsed = Timer() - start;
    EXPECT_GE(elapsed, 1.99);
    EXPECT_LT(elapsed, 3.0);
    EXPECT_LT(platform_test::CpuSeconds() - cpu, 0.05);
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(TcpTest, PeerCloseIsReportedOnceAfterItsLastData) {
    ServerSends("xy");
    detail::CloseSocket(server);
    server = kNoSocket;
    const double end = Timer() + 2.0;
    while (recorder.events.size() < 2 && Timer() < end) ProcessTCPEvents(0.5);
    ASSERT_EQ(recorder.events.size(), 2u);
    EXPECT_EQ(recorder.events[0].event, TCP_DATAREADY);
    EXPECT_EQ(recorder.events[1].event, TCP_DISCONNECT);
    EXPECT_EQ(ProcessTCPEvents(0.1), 0);
    EXPECT_EQ(recorder.events.size(), 2u);

    char buf[8];
    EXPECT_EQ(ClientTCPRead(handle, buf, 8, 100), 2);
    EXPECT_EQ(std::string(buf, 2), "xy");
    EXPECT_LT(ClientTCPRead(handle, buf, 8, 100), 0);
    EXPECT_LT(ClientTCPWrite(handle, "z", 1, 100), 0);
}

TEST_F(TcpTest, CloseNoticedByAReadIsStillReported) {
    detail::CloseSocket(server);
    server = kNoSocket;
    char buf[4];
    EXPECT_EQ(ClientTCPRead(handle, buf, 4, 1000), kTcpErrNotConnected);
    EXPECT_EQ(ProcessTCPEvents(1.0), 1);
    ASSERT_EQ(recorder.events.size(), 1u);
    EXPECT_EQ(recorder.events[0].event, TCP_DISCONNECT);
}

TEST_F(TcpTest, DiscardDropsWhatHasArrived) {
    ServerSends(std::string(100, 'q'));
    const double end = Timer() + 1.0;
    while (TCPBytesAvailable(handle) < 100 && Timer() < end) Delay(0.005);
    EXPECT_EQ(TCPBytesAvailable(handle), 100);
    EXPECT_EQ(DiscardTCPInput(handle), 0);
    EXPECT_EQ(TCPBytesAvailable(handle), 0);
    ServerSends("z");
    char c = 0;
    EXPECT_EQ(ClientTCPRead(handle, &c, 1, 500), 1);
    EXPECT_EQ(c, 'z');
}

TEST_F(TcpTest, DataHeldByTheEventWaitIsDiscardedToo) {
    ServerSends("late reply");
    EXPECT_EQ(ProcessTCPEvents(1.0), 1);  // drained into the connection's buffer, unread
    EXPECT_EQ(DiscardTCPInput(handle), 0);
    EXPECT_EQ(TCPBytesAvailable(handle), 0);
    char c;
    EXPECT_EQ(ClientTCPRead(handle, &c, 1, 50), 0);
}

TEST_F(TcpTest, CallbackMayCloseItsOwnConnection) {
    recorder.disconnectOnData = true;
    ServerSends("bye");
    detail::CloseSocket(server);
    server = kNoSocket;
    Delay(0.05);
    EXPECT_EQ(ProcessTCPEvents(1.0), 1);  // the disconnect for the closed handle is dropped
    EXPECT_EQ(TCPBytesAvailable(handle), kTcpErrInvalidHandle);
    handle = 0;
}

TEST(TcpConnectTest, SeveralConnectionsEachGetTheirOwnEvents) {
    Listener l1, l2;
    Recorder r1, r2;
    unsigned h1 = 0, h2 = 0;
    ASSERT_EQ(ConnectToTCPServer(&h1, l1.port, "localhost", Record, &r1, 1000), 0);
    ASSERT_EQ(ConnectToTCPServer(&h2, l2.port, "127.0.0.1", Record, &r2, 1000), 0);
    EXPECT_NE(h1, h2);
    EXPECT_GT(h1, 0u);
    EXPECT_LE(h2, 64u);
    const SocketHandle s1 = l1.Accept(), s2 = l2.Accept();
    ASSERT_EQ(detail::SocketSend(s2, "2", 1), 1);
    EXPECT_EQ(ProcessTCPEvents(1.0), 1);
    EXPECT_TRUE(r1.events.empty());
    ASSERT_EQ(r2.events.size(), 1u);
    EXPECT_EQ(r2.events[0].handle, h2);
    detail::CloseSocket(s1);
    detail::CloseSocket(s2);
    EXPECT_EQ(DisconnectFromTCPServer(h1), 0);
    EXPECT_EQ(DisconnectFromTCPServer(h2), 0);
    EXPECT_EQ(DisconnectFromTCPServer(h2), kTcpErrInvalidHandle);
}

TEST(TcpConnectTest, ClosedPortFailsFast) {
    int port;
    {
        Listener gone;
        port = gone.port;
    }
    unsigned h = 99;
    const double start = Timer();
    EXPECT_EQ(ConnectToTCPServer(&h, port, "127.0.0.1", Record, nullptr, 5000), kTcpErrConnect);
    EXPECT_LT(Timer() - start, 1.0);
    EXPECT_EQ(h, 0u);
}

TEST(TcpConnectTest, BadArgumentsAndHandlesAreRefused) {
    unsigned h = 0;
    EXPECT_EQ(ConnectToTCPServer(&h, 66, "", Record, nullptr, 100), kTcpErrHost);
    EXPECT_EQ(ConnectToTCPServer(&h, 66, nullptr, Record, nullptr, 100), kTcpErrHost);
    EXPECT_EQ(ConnectToTCPServer(&h, 0, "127.0.0.1", Record, nullptr, 100), kTcpErrBadParameter);
    EXPECT_EQ(ConnectToTCPServer(nullptr, 66, "127.0.0.1", Record, nullptr, 100), kTcpErrBadParameter);
    char buf[4];
    EXPECT_EQ(ClientTCPRead(0, buf, 4, 10), kTcpErrInvalidHandle);
    EXPECT_EQ(ClientTCPWrite(12345, buf, 4, 10), kTcpErrInvalidHandle);
    EXPECT_EQ(TCPBytesAvailable(64), kTcpErrInvalidHandle);
    EXPECT_EQ(DiscardTCPInput(65), kTcpErrInvalidHandle);
}

}  // namespace

namespace {

// The server's side: listening where asked, and who connects.
TEST(TcpServerSide, ListensWhereAskedAndNamesItsClients) {
    NetAddress bound;
    detail::ListenError why = detail::ListenError::Failed;
    const SocketHandle listener = ListenAt("127.0.0.1", 0, &bound, &why);
    ASSERT_NE(listener, kNoSocket);
    EXPECT_EQ(why, detail::ListenError::None);
    EXPECT_GT(bound.port, 0);
    EXPECT_TRUE(bound.IsLoopback());

    // A second socket on the same port: in use.
    NetAddress again;
    EXPECT_EQ(ListenAt("127.0.0.1", bound.port, &again, &why), kNoSocket);
    EXPECT_EQ(why, detail::ListenError::InUse);
    // An address of another computer (TEST-NET-1), and one that is not one.
    EXPECT_EQ(ListenAt("192.0.2.1", 0, &again, &why), kNoSocket);
    EXPECT_EQ(why, detail::ListenError::NotLocal);
    EXPECT_EQ(ListenAt("no-such-host.invalid", 0, &again, &why), kNoSocket);
    EXPECT_EQ(why, detail::ListenError::NoAddress);

    unsigned handle = 0;
    ASSERT_EQ(ConnectToTCPServer(&handle, bound.port, "127.0.0.1", nullptr, nullptr, 2000), 0);
    detail::SocketPoll p{listener, POLLIN, 0};
    ASSERT_GT(detail::WaitSockets(&p, 1, 2.0), 0);
    NetAddress peer;
    const SocketHandle client = AcceptFrom(listener, &peer);
    ASSERT_NE(client, kNoSocket);
    EXPECT_FALSE(peer.v6);
    EXPECT_TRUE(peer.IsLoopback());
    EXPECT_GT(peer.port, 0);
    EXPECT_EQ(NetAddressText(peer), "127.0.0.1:" + std::to_string(peer.port));
    EXPECT_EQ(AcceptFrom(listener, &peer), kNoSocket);  // nobody else waits
    DisconnectFromTCPServer(handle);
    detail::CloseSocket(client);
    detail::CloseSocket(listener);
}

TEST(TcpServerSide, AddressesAsText) {
    struct Case {
        const char *text;
        bool ok;
        bool v6 = false;
        bool loopback = false;
        const char *shown = "";  // with port 7
    } cases[] = {
        {"127.0.0.1", true, false, true, "127.0.0.1:7"},
        {"127.255.0.9", true, false, true, "127.255.0.9:7"},
        {"192.168.1.20", true, false, false, "192.168.1.20:7"},
        {"::1", true, true, true, "[::1]:7"},
        {"2001:db8::7", true, true, false, "[2001:db8::7]:7"},
        {"::ffff:10.0.0.1", true, false, false, "10.0.0.1:7"},  // as an IPv6 socket sees an IPv4 client
        {"256.1.1.1", false},
        {"1.2.3", false},
        {"1.2.3.4.5", false},
        {"1.2.3.4 ", false},
        {"0x7f.0.0.1", false},
        {"localhost", false},
        {"2001:db8::g", false},
        {"", false},
    };
    for (const Case &c : cases) {
        NetAddress a;
        const bool ok = ParseNetAddress(c.text, &a);
        EXPECT_EQ(ok, c.ok) << c.text;
        if (!ok) continue;
        EXPECT_EQ(a.v6, c.v6) << c.text;
        EXPECT_EQ(a.IsLoopback(), c.loopback) << c.text;
        a.port = 7;
        EXPECT_EQ(NetAddressText(a), c.shown) << c.text;
    }
}

}  // namespace
