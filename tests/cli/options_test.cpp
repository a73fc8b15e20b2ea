// vgx52ctl's command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_table.h"
#include "cli/options.h"

namespace {

struct Parsed {
    bool ok = false;
    cli::Options options;
    cli::ArgError error;
};

Parsed Parse(std::vector<const char *> args) {
    args.insert(args.begin(), "vgx52ctl");
    Parsed p;
    p.ok = cli::ParseOptions(static_cast<int>(args.size()), args.data(), p.options, p.error);
    return p;
}

TEST(CliOptions, DefaultsAreThoseOfTheProgram) {
    const Parsed p = Parse({"identify"});
    ASSERT_TRUE(p.ok) << p.error.message;
    EXPECT_EQ(p.options.command, "identify");
    EXPECT_EQ(p.options.port, 0);
    EXPECT_EQ(p.options.id, 0);
    EXPECT_EQ(p.options.attempts, 5);
    EXPECT_EQ(p.options.timeout, 0.1);
    EXPECT_TRUE(p.options.tcpHost.empty());
}

TEST(CliOptions, GlobalOptionsAnywhereAndTheCommandsOwnInOrder) {
    const Parsed p = Parse({"--port", "3", "write-id", "7", "--current", "5", "--id=9", "--timeout", "0.5"});
    ASSERT_TRUE(p.ok) << p.error.message;
    EXPECT_EQ(p.options.port, 3);
    EXPECT_EQ(p.options.id, 9);
    EXPECT_EQ(p.options.timeout, 0.5);
    EXPECT_EQ(p.options.command, "write-id");
    EXPECT_EQ(p.options.args, (std::vector<std::string>{"7", "--current", "5"}));
}

TEST(CliOptions, NegativeNumbersAreArgumentsNotOptions) {
    const Parsed p = Parse({"write-float", "a", "-1.5e3"});
    ASSERT_TRUE(p.ok) << p.error.message;
    EXPECT_EQ(p.options.args, (std::vector<std::string>{"a", "-1.5e3"}));
    const Parsed q = Parse({"write-clock", "--", "--not-an-option"});
    ASSERT_TRUE(q.ok) << q.error.message;
    EXPECT_EQ(q.options.args, (std::vector<std::string>{"--not-an-option"}));
}

TEST(CliOptions, GatewayHostAndPort) {
    Parsed p = Parse({"--tcp", "gateway.local", "identify"});
    ASSERT_TRUE(p.ok) << p.error.message;
    EXPECT_EQ(p.options.tcpHost, "gateway.local");
    EXPECT_EQ(p.options.tcpPort, 66);
    p = Parse({"--tcp=10.0.0.2:6600", "identify"});
    ASSERT_TRUE(p.ok) << p.error.message;
    EXPECT_EQ(p.options.tcpHost, "10.0.0.2");
    EXPECT_EQ(p.options.tcpPort, 6600);
    p = Parse({"--tcp", "[::1]:70", "identify"});
    ASSERT_TRUE(p.ok) << p.error.message;
    EXPECT_EQ(p.options.tcpHost, "::1");
    EXPECT_EQ(p.options.tcpPort, 70);
}

TEST(CliOptions, BadValuesAreRefusedWithAMessage) {
    const std::vector<std::vector<const char *>> bad = {
        {"--port", "0", "identify"},
        {"--port", "101", "identify"},
        {"--port", "3x", "identify"},
        {"--port"},
        {"--id", "256", "identify"},
        {"--id", "-1", "identify"},
        {"--attempts", "0", "identify"},
        {"--timeout", "0.01", "identify"},
        {"--timeout", "nan", "identify"},
        {"--timeout", "6", "identify"},
        {"--tcp", ":66", "identify"},
        {"--tcp", "host:", "identify"},
        {"--tcp", "host:0", "identify"},
        {"--tcp", "host:65536", "identify"},
        {"--tcp", "[::1", "identify"},
        {"--port", "2", "--tcp", "h", "identify"},
        {"--frobnicate", "identify"},
        {"--log=", "identify"},
        {"--help=yes"},
    };
    for (const auto &args : bad) {
        const Parsed p = Parse(args);
        EXPECT_FALSE(p.ok) << args[0];
        EXPECT_FALSE(p.error.message.empty());
    }
    const std::string longHost(99, 'h');
    EXPECT_FALSE(Parse({"--tcp", longHost.c_str(), "identify"}).ok);
}

TEST(CliOptions, NumbersMustBeWholeAndInRange) {
    using cli::Number;
    long value = 0;
    EXPECT_EQ(cli::ParseInt("0x1E0", 0, 0xFFFF, value), Number::Taken);
    EXPECT_EQ(value, 0x1E0);
    EXPECT_EQ(cli::ParseInt("-32768", -32768, 0, value), Number::Taken);
    EXPECT_EQ(cli::ParseInt(" 5", 0, 9, value), Number::Malformed);
    EXPECT_EQ(cli::ParseInt("+5", 0, 9, value), Number::Malformed);
    EXPECT_EQ(cli::ParseInt("5 ", 0, 9, value), Number::Malformed);
    EXPECT_EQ(cli::ParseInt("0x", 0, 9, value), Number::Malformed);
    EXPECT_EQ(cli::ParseInt("-0x5", -9, 9, value), Number::Malformed);
    EXPECT_EQ(cli::ParseInt("10", 0, 9, value), Number::OutOfRange);
    EXPECT_EQ(cli::ParseInt("-1", 0, 9, value), Number::OutOfRange);
    EXPECT_EQ(cli::ParseInt("99999999999999999999", 0, 9, value), Number::OutOfRange);
    EXPECT_EQ(value, -32768) << "nothing taken from a refused number";
    double real = 0;
    EXPECT_EQ(cli::ParseReal("287.055", real), Number::Taken);
    EXPECT_EQ(cli::ParseReal("1e-999", real), Number::Taken) << "too small to tell from 0";
    EXPECT_EQ(cli::ParseReal("inf", real), Number::Malformed);
    EXPECT_EQ(cli::ParseReal("nan", real), Number::Malformed);
    EXPECT_EQ(cli::ParseReal("1e999", real), Number::OutOfRange);
    EXPECT_EQ(cli::ParseReal("1.5x", real), Number::Malformed);
}

TEST(CliCommands, ArgumentsAreCheckedBeforeAnythingRuns) {
    struct Case {
        const char *command;
        std::vector<std::string> args;
        bool ok;
    };
    const Case cases[] = {
        {"identify", {}, true},
        {"identify", {"extra"}, false},
        {"read-float", {"E"}, true},
        {"read-float", {"EE"}, false},
        {"read-float", {}, false},
        {"write-float", {"a", "287.055"}, true},
        {"write-float", {"a", "x"}, false},
        {"write-int", {"A", "70000"}, true},
        {"write-int", {"A", "1.5"}, false},
        {"read-cal", {"15", "C"}, true},
        {"read-cal", {"300", "C"}, false},
        {"write-id", {"7", "--current", "5"}, true},
        {"write-id", {"7", "--current=300"}, false},
        {"write-id", {"7", "--current"}, false},
        {"write-id", {"7", "--cpu", "1"}, false},
        {"restart-code", {"--cpu", "3"}, true},
        {"restart-code", {"--cpu"}, false},
        {"restart-code", {"3"}, false},
        {"subdevice", {"1"}, true},
        {"nop", {"5"}, true},
        {"nop", {"five"}, false},
    };
    for (const Case &c : cases) {
        const cli::Command *command = cli::FindCommand(c.command);
        ASSERT_NE(command, nullptr) << c.command;
        cli::Params params;
        cli::ArgError error;
        EXPECT_EQ(command->parse(c.args, params, error), c.ok) << c.command << " " << (c.args.empty() ? "" : c.args[0]);
        if (!c.ok) {
            EXPECT_FALSE(error.message.empty());
        }
    }
    EXPECT_NE(cli::FindCommand("upgrade"), nullptr);  // its arguments: tests/upgrade
}

TEST(CliCommands, RepeatedOnlyWhileNoValidReply) {
    cli::Context context;
    context.attempts = 5;
    int calls = 0;
    EXPECT_EQ(cli::WithAttempts(context, [&] { return ++calls < 3 ? 3 : 0; }), 0);
    EXPECT_EQ(calls, 3);
    calls = 0;
    EXPECT_EQ(cli::WithAttempts(context, [&] { return ++calls, 3; }), 3);
    EXPECT_EQ(calls, 5);
    calls = 0;
    EXPECT_EQ(cli::WithAttempts(context, [&] { return ++calls, 2; }), 2);
    EXPECT_EQ(calls, 1);
}

}  // namespace
