// The TCP envelope: headers written and read, and a client's bytes judged
// as a request.
#include "envelope/envelope.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using envelope::Scan;

envelope::ScanResult ScanText(const std::string &text) {
    return envelope::ScanRequest(reinterpret_cast<const unsigned char *>(text.data()), text.size());
}

TEST(Envelope, HeadersAreWrittenUpperCaseAndReadInEitherCase) {
    EXPECT_EQ(envelope::Wrap('b', "007129030E"), "b000A007129030E");
    EXPECT_EQ(envelope::Wrap('b', ""), "b0000");
    EXPECT_EQ(envelope::Wrap('b', std::string(0x3FF, 'x')).substr(0, 5), "b03FF");
    EXPECT_EQ(envelope::ErrorReply(0x10), "c00040010");
    EXPECT_EQ(envelope::ErrorReply(0x1ABCD), "c0004ABCD");  // the low 16 bits

    struct Case {
        const char *header;
        bool ok;
        char mark;
        std::size_t length;
    } cases[] = {
        {"b0000", true, 'b', 0},
        {"c0004", true, 'c', 4},
        {"bffff", true, 'b', 0xFFFF},
        {"b03fF", true, 'b', 0x3FF},
        {"B0001", false, 0, 0},
        {"a0001", false, 0, 0},
        {"b000G", false, 0, 0},
        {"b 001", false, 0, 0},
        {"b-001", false, 0, 0},
        {"\x00"
         "0001",
         false, 0, 0},
    };
    for (const Case &c : cases) {
        char mark = '?';
        std::size_t length = 99;
        const bool ok = envelope::ParseHeader(reinterpret_cast<const unsigned char *>(c.header), &mark, &length);
        EXPECT_EQ(ok, c.ok) << c.header;
        if (c.ok) {
            EXPECT_EQ(mark, c.mark) << c.header;
            EXPECT_EQ(length, c.length) << c.header;
        }
    }
}

TEST(Envelope, ABadByteIsJudgedAsSoonAsItArrives) {
    struct Case {
        std::string bytes;
        Scan verdict;
        std::size_t length;
    } cases[] = {
        {"", Scan::Incomplete, 0},
        {"b", Scan::Incomplete, 0},
        {"b00", Scan::Incomplete, 0},
        {"b000A007129", Scan::Incomplete, 0},
        {"b000A007129030E", Scan::Complete, 10},
        {"b000a007129030Eb0000", Scan::Complete, 10},  // what follows is the next request's
        {"b0000", Scan::Complete, 0},
        {"c0004", Scan::NotAnEnvelope, 0},  // an error is the server's to send
        {"x", Scan::NotAnEnvelope, 0},
        {"bZ", Scan::NotAnEnvelope, 0},
        {"b00G", Scan::NotAnEnvelope, 0},
        {"\r\n", Scan::NotAnEnvelope, 0},
        {"b0400", Scan::Incomplete, 0},  // 1024 bytes: the longest request
        {"b0401", Scan::TooLong, 0x401},
        {"bFFFF", Scan::TooLong, 0xFFFF},
    };
    for (const Case &c : cases) {
        const envelope::ScanResult r = ScanText(c.bytes);
        EXPECT_EQ(r.verdict, c.verdict) << c.bytes;
        if (c.verdict == Scan::Complete || c.verdict == Scan::TooLong) {
            EXPECT_EQ(r.payloadLength, c.length) << c.bytes;
        }
    }
    const std::string longest = "b0400" + std::string(1024, '\x01');
    EXPECT_EQ(ScanText(longest).verdict, Scan::Complete);
    EXPECT_EQ(ScanText(longest).payloadLength, 1024u);
}

}  // namespace
