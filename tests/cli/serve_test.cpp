// The TCP server of `vgx52ctl serve` in-process: its options, who may
// connect, the reply framing on the line, and the server on a thread of its
// own with clients on real loopback sockets, in front of a stand-in line
// or the simulated instrument behind the serial link.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cli/serve/allow_list.h"
#include "cli/serve/error_codes.h"
#include "cli/serve/line_exchange.h"
#include "cli/serve/reply_framer.h"
#include "cli/serve/server.h"
#include "cli/serve/settings.h"
#include "platform/system.h"
#include "tests/cli/envelope_client.h"
#include "tests/korvi70/link_fixture.h"

namespace {

using cli::serve::ReplyFramer;
using cli_test::EnvelopeClient;
using ::testing::HasSubstr;
using ::testing::Not;

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

// ---- options ----

TEST(ServeSettings, OptionsAndTheirLimits) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
        std::string host = "127.0.0.1";
        int port = 66;
        double idle = 600;
    } cases[] = {
        {{}, true},
        {{"--listen", "0.0.0.0:6666", "--allow", "10.0.0.0/8"}, true, "0.0.0.0", 6666},
        {{"--listen=[::1]:0"}, true, "::1", 0},
        {{"--listen", "localhost"}, true, "localhost", 66},
        {{"--idle", "30"}, true, "127.0.0.1", 66, 30},
        {{"--idle=1"}, true, "127.0.0.1", 66, 1},
        {{"--idle", "0.5"}, false},
        {{"--idle", "86401"}, false},
        {{"--idle"}, false},
        {{"--listen"}, false},
        {{"--listen", "127.0.0.1:65536"}, false},
        {{"--listen", ":6666"}, false},
        {{"--allow"}, false},
        {{"--allow", "10.0.0.0/33"}, false},
        {{"--allow", "10.0.0.0/8,nonsense"}, false},
        {{"--bogus"}, false},
        {{"extra"}, false},
    };
    for (const Case &c : cases) {
        cli::serve::ServeSettings s;
        cli::ArgError error;
        const bool ok = cli::serve::ParseServeArgs(c.args, s, error);
        const std::string shown = c.args.empty() ? "(none)" : c.args[0] + " " + c.args.back();
        EXPECT_EQ(ok, c.ok) << shown << ": " << error.message;
        if (ok) {
            EXPECT_EQ(s.host, c.host) << shown;
            EXPECT_EQ(s.port, c.port) << shown;
            EXPECT_EQ(s.idleSeconds, c.idle) << shown;
        } else {
            EXPECT_FALSE(error.message.empty()) << shown;
        }
    }
}

TEST(ServeSettings, APrivilegedPortNamesTheWayOut) {
    using platform::detail::ListenError;
    cli::serve::ServeSettings s;
    // Where a port below 1024 is the administrator's.
    const std::string message = cli::serve::ListenFailure(s, ListenError::NoPermission, true);
    EXPECT_THAT(message, HasSubstr("cannot listen on 127.0.0.1:66"));
    EXPECT_THAT(message, HasSubstr("below 1024 needs administrator rights"));
    EXPECT_THAT(message, HasSubstr("--listen 127.0.0.1:6666"));
    EXPECT_THAT(message, HasSubstr("#NrPortuTCP 6666"));
    s.host = "::1";
    s.port = 2000;
    EXPECT_EQ(cli::serve::ListenFailure(s, ListenError::NoPermission, true),
              "cannot listen on [::1]:2000: not permitted");
    EXPECT_THAT(cli::serve::ListenFailure(s, ListenError::InUse), HasSubstr("another program"));

    // Where any program may take a low port, a refusal means the port is
    // held or reserved, whatever its number.
    for (int port : {66, 2000}) {
        s.port = port;
        const std::string held = cli::serve::ListenFailure(s, ListenError::NoPermission, false);
        EXPECT_THAT(held, Not(HasSubstr("administrator"))) << port;
        EXPECT_THAT(held, HasSubstr("another program holds the port")) << port;
        EXPECT_THAT(held, HasSubstr("excludedportrange")) << port;
        EXPECT_THAT(held, HasSubstr("--listen [::1]:6666")) << port;
    }
    s.port = 6666;
    EXPECT_THAT(cli::serve::ListenFailure(s, ListenError::NoPermission, false), HasSubstr("(#NrPortuTCP 6667)"));
}

TEST(ServeAllowList, NetworksAndTheAddressesTheyLetIn) {
    cli::serve::AllowList list;
    std::string error;
    ASSERT_TRUE(list.Add("192.168.1.0/24,10.1.2.3", error)) << error;
    ASSERT_TRUE(list.Add("172.16.0.0/12", error)) << error;
    ASSERT_TRUE(list.Add("2001:db8::/32", error)) << error;
    struct Case {
        const char *address;
        bool allowed;
    } cases[] = {
        {"192.168.1.0", true},  {"192.168.1.255", true},   {"192.168.2.1", false},
        {"10.1.2.3", true},     {"10.1.2.4", false},       {"172.31.255.1", true},
        {"172.32.0.1", false},  {"172.15.0.1", false},     {"2001:db8:ffff::1", true},
        {"2001:db9::1", false}, {"::ffff:10.1.2.3", true},  // an IPv4 client of an IPv6 socket
        {"::1", false},         {"127.0.0.1", false},
    };
    for (const Case &c : cases) {
        platform::NetAddress a;
        ASSERT_TRUE(platform::ParseNetAddress(c.address, &a)) << c.address;
        EXPECT_EQ(list.Allows(a), c.allowed) << c.address;
    }

    cli::serve::AllowList all;
    ASSERT_TRUE(all.Add("0.0.0.0/0", error));
    platform::NetAddress any;
    ASSERT_TRUE(platform::ParseNetAddress("203.0.113.9", &any));
    EXPECT_TRUE(all.Allows(any));
    EXPECT_TRUE(cli::serve::AllowList().Empty());

    // Loosely written numbers are not networks.
    for (const char *bad : {"10.1", "10.0.0.0/0x8", "10.0.0.0/", "10.0.0.256", "010.0.0.1.", "1.2.3.4/-1", ""}) {
        cli::serve::AllowList l;
        EXPECT_FALSE(l.Add(bad, error)) << bad;
        EXPECT_TRUE(l.Empty()) << bad;
    }
    cli::serve::AllowList partly;
    EXPECT_FALSE(partly.Add("10.0.0.0/8,bad", error));
    EXPECT_TRUE(partly.Empty());
    EXPECT_THAT(error, HasSubstr("\"bad\""));
}

// ---- the reply on the line ----

struct FramerCase {
    const char *what;
    std::string request;
    std::string line;
    ReplyFramer::State state;
    std::string reply;
    bool heard;
    std::size_t used;  // of the line's bytes
};

TEST(ServeReplyFramer, FindsTheReplyBehindLeadInAndEcho) {
    const std::string identify = "007129030E";
    const std::string answer = "7100290001B07E";
    const std::string frame = Bytes({0xFF, 0xFF, 0x00}) + answer + Bytes({0x01});
    const std::string echo = Bytes({0xFF, 0xFF, 0x00}) + identify + Bytes({0x01});
    // Write I/O at address 5 whose length byte is 0x01 (60 bytes of data).
    const std::string ioWrite = Bytes({0x05, 'G'}) +
                                "0000"
                                "3C" +
                                std::string(120, 'A') + Bytes({0x01});
    const std::string ioEcho = Bytes({0xFF, 0xFF, 0x00}) + ioWrite + Bytes({0x01});
    // A read I/O reply whose length byte is 0x00 (63 bytes of data).
    const std::string ioRead = Bytes({0x05}) + std::string(126, 'B') + Bytes({0x00});
    const FramerCase cases[] = {
        {"whole reply", identify, frame, ReplyFramer::State::Complete, answer, true, frame.size()},
        {"lead-in of garbage", identify, "\x13\x37zz" + frame, ReplyFramer::State::Complete, answer, true,
         frame.size() + 4},
        {"echo, then the reply", identify, echo + frame, ReplyFramer::State::Complete, answer, true,
         echo.size() + frame.size()},
        {"bytes after the reply", identify, frame + "next", ReplyFramer::State::Complete, answer, true, frame.size()},
        {"nothing", identify, "", ReplyFramer::State::Waiting, "", false, 0},
        {"the echo alone", identify, echo, ReplyFramer::State::Waiting, "", false, echo.size()},
        {"part of the echo", identify, echo.substr(0, 6), ReplyFramer::State::Waiting, "", false, 6},
        {"a reply cut short", identify, frame.substr(0, 9), ReplyFramer::State::Waiting, "", true, 9},
        {"echo, a reply cut short", identify, echo + frame.substr(0, 5), ReplyFramer::State::Waiting, "", true,
         echo.size() + 5},
        {"a 0x01 inside the echo", ioWrite, ioEcho + Bytes({0xFF, 0x00, 0x05, 0x82, 0x01}),
         ReplyFramer::State::Complete, Bytes({0x05, 0x82}), true, ioEcho.size() + 5},
        {"a 0x00 inside the reply",
         "\x05"
         "F000000"
         "3F",
         Bytes({0x00}) + ioRead + Bytes({0x01}), ReplyFramer::State::Complete, ioRead, true, ioRead.size() + 2},
        {"longer than 1024", identify, Bytes({0x00}) + std::string(1030, 'x'), ReplyFramer::State::TooLong, "", true,
         1026},
        {"1024 exactly", identify, Bytes({0x00}) + std::string(1024, 'x') + Bytes({0x01}), ReplyFramer::State::Complete,
         std::string(1024, 'x'), true, 1026},
    };
    for (const FramerCase &c : cases) {
        const std::span<const unsigned char> request(reinterpret_cast<const unsigned char *>(c.request.data()),
                                                     c.request.size());
        // Whole, and byte by byte: the result may not depend on how the bytes come.
        for (std::size_t piece : {c.line.size() + 1, std::size_t{1}}) {
            ReplyFramer framer(request);
            std::size_t used = 0;
            for (std::size_t at = 0; at < c.line.size(); at += piece) {
                const std::size_t n = std::min(piece, c.line.size() - at);
                used += framer.Take(reinterpret_cast<const unsigned char *>(c.line.data()) + at, n);
            }
            EXPECT_EQ(framer.Status(), c.state) << c.what << " in pieces of " << piece;
            EXPECT_EQ(framer.Heard(), c.heard) << c.what;
            EXPECT_EQ(used, c.used) << c.what;
            if (c.state == ReplyFramer::State::Complete) {
                const auto reply = framer.Reply();
                EXPECT_EQ(std::string(reply.begin(), reply.end()), c.reply) << c.what;
            }
        }
    }
}

// ---- the server ----

// A Server serving on a thread of its own, its messages kept in a file.
class RunningServer {
public:
    RunningServer(cli::serve::ServeSettings settings, cli::serve::Exchange exchange)
        : log_(std::tmpfile()), server_(Loopback(std::move(settings)), std::move(exchange), log_) {
        platform::detail::OpenWake(stop_);
    }
    ~RunningServer() {
        Stop();
        platform::detail::CloseWake(stop_);
        if (log_ != nullptr) std::fclose(log_);
    }
    bool Start() {
        platform::detail::ListenError why{};
        if (!server_.Listen(&why)) return false;
        thread_ = std::thread([this] { server_.Serve(stop_.reader); });
        return true;
    }
    int Port() const { return server_.Address().port; }
    void RequestStop() { platform::detail::Wake(stop_); }
    // Stops the server and gives what it said.
    std::string Stop() {
        if (thread_.joinable()) {
            platform::detail::Wake(stop_);
            thread_.join();
        }
        std::string text;
        if (log_ == nullptr) return text;
        std::fflush(log_);
        std::rewind(log_);
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, log_)) > 0;) text.append(buffer, n);
        return text;
    }

private:
    static cli::serve::ServeSettings Loopback(cli::serve::ServeSettings s) {
        s.host = "127.0.0.1";
        s.port = 0;
        return s;
    }
    std::FILE *log_;
    platform::detail::WakeChannel stop_;
    cli::serve::Server server_;
    std::thread thread_;
};

// A stand-in line: answers "=" and the request, after `delay` seconds, and
// notes the requests in the order they went out.
struct EchoLine {
    double delay = 0;
    std::mutex mutex;
    std::vector<std::string> sent;

    cli::serve::Exchange Exchange() {
        return [this](std::span<const unsigned char> request, double, std::span<unsigned char> reply,
                      std::size_t *length) -> unsigned {
            {
                std::lock_guard<std::mutex> guard(mutex);
                sent.emplace_back(request.begin(), request.end());
            }
            if (delay > 0) platform::Delay(delay);
            reply[0] = '=';
            std::copy(request.begin(), request.end(), reply.begin() + 1);
            *length = request.size() + 1;
            return 0;
        };
    }
    std::vector<std::string> Sent() {
        std::lock_guard<std::mutex> guard(mutex);
        return sent;
    }
};

TEST(ServeServer, ClientsGetTheirOwnAnswersOneRequestAtATime) {
    EchoLine line;
    line.delay = 0.05;
    RunningServer server({}, line.Exchange());
    ASSERT_TRUE(server.Start());
    EnvelopeClient a, b;
    ASSERT_TRUE(a.Connect(server.Port()));
    ASSERT_TRUE(b.Connect(server.Port()));
    // A sends two requests at once: the second waits for the first's answer.
    ASSERT_TRUE(a.Send("b0002A1b0002A2"));
    ASSERT_TRUE(b.Request("B1"));
    EXPECT_EQ(a.Envelope(), "b0003=A1");
    EXPECT_EQ(a.Envelope(), "b0003=A2");
    EXPECT_EQ(b.Envelope(), "b0003=B1");
    // An empty request goes out as it is.
    ASSERT_TRUE(b.Request(""));
    EXPECT_EQ(b.Envelope(), "b0001=");
    const std::string log = server.Stop();
    // In the order they arrived: A's second request arrives, for the
    // server, once its first is answered, after B's.
    EXPECT_EQ(line.Sent(), (std::vector<std::string>{"A1", "B1", "A2", ""}));
    EXPECT_THAT(log, HasSubstr("127.0.0.1:"));
    EXPECT_THAT(log, HasSubstr(" connected (2 clients)"));
    EXPECT_THAT(log, HasSubstr(" closed: the server is stopping"));
}

TEST(ServeServer, GarbageAndOversizedRequestsCloseTheirClientOnly) {
    EchoLine line;
    RunningServer server({}, line.Exchange());
    ASSERT_TRUE(server.Start());
    EnvelopeClient good, web, huge, lower, wrongMark, trailing;
    ASSERT_TRUE(good.Connect(server.Port()));
    ASSERT_TRUE(trailing.Connect(server.Port()));
    ASSERT_TRUE(web.Connect(server.Port()));
    ASSERT_TRUE(huge.Connect(server.Port()));
    ASSERT_TRUE(lower.Connect(server.Port()));
    ASSERT_TRUE(wrongMark.Connect(server.Port()));
    ASSERT_TRUE(web.Send("GET / HTTP/1.0\r\n\r\n"));
    ASSERT_TRUE(huge.Send("b0401"));  // one byte more than the link's buffer
    ASSERT_TRUE(wrongMark.Send("c00040010"));
    ASSERT_TRUE(lower.Send("b000a0123456789"));  // hex digits in either case
    // The request before the garbage is answered first.
    ASSERT_TRUE(trailing.Send("b0002T1GET /"));
    EXPECT_TRUE(web.ClosedByServer());
    EXPECT_TRUE(huge.ClosedByServer());
    EXPECT_TRUE(wrongMark.ClosedByServer());
    EXPECT_EQ(lower.Envelope(), "b000B=0123456789");
    EXPECT_EQ(trailing.Envelope(), "b0003=T1");
    EXPECT_TRUE(trailing.ClosedByServer());
    ASSERT_TRUE(good.Request("0071290300"));
    EXPECT_EQ(good.Envelope(), "b000B=0071290300");
    const std::string log = server.Stop();
    EXPECT_THAT(log, HasSubstr("closed: sent bytes that are not a request envelope (0x47)"));
    EXPECT_THAT(log, HasSubstr("closed: sent bytes that are not a request envelope (0x63)"));
    EXPECT_THAT(log, HasSubstr("closed: announced a request of 1025 bytes, more than 1024"));
    EXPECT_EQ(line.Sent().size(), 3u);
}

TEST(ServeServer, AtMostEightClientsAndOnlyTheAllowedOnes) {
    EchoLine line;
    RunningServer server({}, line.Exchange());
    ASSERT_TRUE(server.Start());
    std::vector<EnvelopeClient> clients(9);
    for (EnvelopeClient &c : clients) ASSERT_TRUE(c.Connect(server.Port()));
    EXPECT_TRUE(clients[8].ClosedByServer());
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(clients[static_cast<std::size_t>(i)].Request("c" + std::to_string(i)));
        EXPECT_EQ(clients[static_cast<std::size_t>(i)].Envelope(), "b0003=c" + std::to_string(i));
    }
    // One leaves: a place is free again.
    clients[0].Close();
    EnvelopeClient late;
    for (int tries = 0; tries < 50; ++tries) {
        ASSERT_TRUE(late.Connect(server.Port()));
        if (late.Request("x") && late.Envelope(0.5) == "b0002=x") break;
    }
    EXPECT_EQ(line.Sent().back(), "x");
    EXPECT_THAT(server.Stop(), HasSubstr(" refused: 8 clients connected already"));

    cli::serve::ServeSettings only;
    std::string error;
    ASSERT_TRUE(only.allow.Add("10.0.0.0/8", error));
    RunningServer guarded(only, line.Exchange());
    ASSERT_TRUE(guarded.Start());
    EnvelopeClient outsider;
    ASSERT_TRUE(outsider.Connect(guarded.Port()));
    EXPECT_TRUE(outsider.ClosedByServer());
    EXPECT_THAT(guarded.Stop(), HasSubstr(" refused: not in the --allow networks"));
}

TEST(ServeServer, AnIdleClientIsClosedAndOneThatLeftMidRequestBlocksNoOne) {
    EchoLine line;
    cli::serve::ServeSettings settings;
    settings.idleSeconds = 0.3;
    RunningServer server(settings, line.Exchange());
    ASSERT_TRUE(server.Start());
    EnvelopeClient idle, halfway, busy;
    ASSERT_TRUE(idle.Connect(server.Port()));
    ASSERT_TRUE(halfway.Connect(server.Port()));
    ASSERT_TRUE(busy.Connect(server.Port()));
    const double idleLastByte = platform::Timer();
    ASSERT_TRUE(idle.Request("i"));
    EXPECT_EQ(idle.Envelope(), "b0002=i");
    ASSERT_TRUE(halfway.Send("b000A0071"));
    halfway.Close();
    // Talking keeps a client from being idle; meanwhile the silent one is
    // closed, not before the idle time from its last byte.
    double idleClosed = -1;
    const double start = platform::Timer();
    for (int i = 0; i < 40 && (idleClosed < 0 || platform::Timer() - start < 0.5); ++i) {
        ASSERT_TRUE(busy.Request("r"));
        EXPECT_EQ(busy.Envelope(), "b0002=r");
        if (idleClosed >= 0)
            platform::Delay(0.1);
        else if (idle.ClosedByServer(0.1))
            idleClosed = platform::Timer();
    }
    ASSERT_GE(idleClosed, 0) << "the idle client was never closed";
    EXPECT_GE(idleClosed - idleLastByte, settings.idleSeconds);
    EXPECT_LT(idleClosed - idleLastByte, settings.idleSeconds + 1.0);
    ASSERT_TRUE(busy.Request("s"));
    EXPECT_EQ(busy.Envelope(), "b0002=s");
    const std::string log = server.Stop();
    EXPECT_THAT(log, HasSubstr(" closed: idle for 0.3 s"));
    EXPECT_THAT(log, HasSubstr(" disconnected ("));
}

// A client that sends requests and reads none of the answers cannot keep
// its place: its answer standing still for the idle time closes it.
TEST(ServeServer, AClientThatTakesNoAnswersLosesItsPlace) {
    EchoLine line;
    cli::serve::ServeSettings settings;
    settings.idleSeconds = 0.3;
    settings.maxClients = 1;
    RunningServer server(settings, line.Exchange());
    ASSERT_TRUE(server.Start());
    // A small receive buffer: the answers back up soon even where the
    // server answers slowly (Wine). The flood ends when the server closes
    // the client, or when nothing has moved for longer than the idle time.
    EnvelopeClient deaf;
    ASSERT_TRUE(deaf.Connect(server.Port(), "127.0.0.1", 4096));
    ASSERT_TRUE(deaf.SendWithoutReading("b03E8" + std::string(1000, 'x'), 1.0));
    EnvelopeClient next;
    bool served = false;
    const double start = platform::Timer();
    while (!served && platform::Timer() - start < 3.0) {
        ASSERT_TRUE(next.Connect(server.Port()));
        served = next.Request("n") && next.Envelope(0.3) == "b0002=n";
    }
    EXPECT_TRUE(served);
    EXPECT_THAT(server.Stop(), HasSubstr(" closed: stopped taking its answer for 0.3 s"));
}

TEST(ServeServer, ARequestThatWaitedTooLongIsNotSentAndStoppingAnswersTheWaiting) {
    EchoLine line;
    line.delay = 1.5;
    RunningServer server({}, line.Exchange());
    ASSERT_TRUE(server.Start());
    EnvelopeClient first, second;
    ASSERT_TRUE(first.Connect(server.Port()));
    ASSERT_TRUE(second.Connect(server.Port()));
    ASSERT_TRUE(first.Request("slow"));
    platform::Delay(0.02);
    ASSERT_TRUE(second.Request("late"));
    EXPECT_EQ(first.Envelope(), "b0005=slow");
    // By its turn too little of its 1.6 s was left: it never went out.
    EXPECT_EQ(second.Envelope(0.3), "c00040004");
    EXPECT_EQ(line.Sent(), std::vector<std::string>{"slow"});

    // Stopped during a transaction: it ends with its real answer, the
    // request waiting behind it is answered at once.
    ASSERT_TRUE(first.Request("busy"));
    platform::Delay(0.1);
    ASSERT_TRUE(second.Request("waiting"));
    platform::Delay(0.1);
    server.RequestStop();
    EXPECT_EQ(second.Envelope(0.5), "c00040005");
    EXPECT_EQ(first.Envelope(), "b0005=busy");
    EXPECT_TRUE(second.ClosedByServer());
    EXPECT_TRUE(first.ClosedByServer());
    EXPECT_EQ(line.Sent(), (std::vector<std::string>{"slow", "busy"}));
}

// ---- in front of the simulated instrument ----

class ServeOnLine : public korvi70_test::SimLinkTest {
protected:
    cli::serve::Exchange Line() { return cli::serve::ExchangeOnLine; }
};

TEST_F(ServeOnLine, RepliesAndFaultsOfTheInstrument) {
    RunningServer server({}, Line());
    ASSERT_TRUE(server.Start());
    EnvelopeClient client;
    ASSERT_TRUE(client.Connect(server.Port()));
    // Identify, transaction 0x29: the instrument's reply without lead-in and terminator.
    ASSERT_TRUE(client.Request("007129030E"));
    EXPECT_EQ(client.Envelope(), "b000E7100290001B07E");
    // The no-operation legacy frame to address 5.
    ASSERT_TRUE(client.Request(Bytes({0x05, 'H', 0x83})));
    EXPECT_EQ(client.Envelope(), "b0002" + Bytes({0x05, 0x82}));
    server.Stop();
    EXPECT_THAT(device.written, HasSubstr(Bytes({0xFF, 0xFF, 0x00}) + "007129030E" + Bytes({0x01})));
}

TEST_F(ServeOnLine, AnEchoingLineAndAStatusReply) {
    instrument.Faults().echo = true;
    Reopen();
    ASSERT_EQ(Korvi70_JestEcho, 1);
    RunningServer server({}, Line());
    ASSERT_TRUE(server.Start());
    EnvelopeClient client;
    ASSERT_TRUE(client.Connect(server.Port()));
    ASSERT_TRUE(client.Request("007129030E"));
    EXPECT_EQ(client.Envelope(), "b000E7100290001B07E");
    instrument.Faults().status = 5;
    ASSERT_TRUE(client.Request("007129030E"));
    const std::string status = client.Envelope();
    EXPECT_EQ(status.substr(0, 13), "b000A71002905");
}

TEST_F(ServeOnLine, ASilentOrUnfinishedInstrumentIsAnErrorWithinTheWindow) {
    struct Case {
        const char *what;
        bool silent;
        int cutAfter;
        std::string answer;
    } cases[] = {
        {"silent", true, -1, "c00040002"},
        {"cut short", false, 9, "c00040003"},
    };
    for (const Case &c : cases) {
        instrument.Faults().silent = c.silent;
        instrument.Faults().cutAfter = c.cutAfter;
        RunningServer server({}, Line());
        ASSERT_TRUE(server.Start());
        EnvelopeClient client;
        ASSERT_TRUE(client.Connect(server.Port()));
        const double start = platform::Timer();
        ASSERT_TRUE(client.Request("007129030E"));
        EXPECT_EQ(client.Envelope(), c.answer) << c.what;
        const double took = platform::Timer() - start;
        EXPECT_GE(took, cli::serve::kAnswerWithin - 0.05) << c.what;
        EXPECT_LT(took, 2.0) << c.what;  // the client's window
    }
}

}  // namespace
