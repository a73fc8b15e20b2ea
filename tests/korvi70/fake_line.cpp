#include "tests/korvi70/fake_line.h"

#include <cstdio>

#include "korvi70/frame_hex.h"
#include "korvi70/link.h"
#include "korvi70/transaction.h"

namespace korvi70_test {

void FakeLine::Write(const unsigned char *data, std::size_t count) {
    std::lock_guard<std::mutex> guard(lock_);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char byte = data[i];
        written_.push_back(static_cast<char>(byte));
        if (byte == 0x00) {
            inFrame_ = true;
            frame_.clear();
        } else if (byte == 0x01 && inFrame_) {
            inFrame_ = false;
            frames_.push_back(frame_);
            if (responder_) pending_ += responder_(frame_);
        } else if (inFrame_) {
            frame_.push_back(static_cast<char>(byte));
        }
    }
}

std::size_t FakeLine::Read(unsigned char *data, std::size_t count, double) {
    std::lock_guard<std::mutex> guard(lock_);
    for (char c : pending_) out_.push_back(static_cast<unsigned char>(c));
    pending_.clear();
    std::size_t n = 0;
    while (n < count && !out_.empty()) {
        data[n++] = out_.front();
        out_.pop_front();
    }
    return n;
}

std::size_t FakeLine::Available() {
    std::lock_guard<std::mutex> guard(lock_);
    return out_.size();
}

void FakeLine::DiscardInput() {
    std::lock_guard<std::mutex> guard(lock_);
    out_.clear();
}

void FakeLine::Queue(std::string_view bytes) {
    std::lock_guard<std::mutex> guard(lock_);
    for (char c : bytes) out_.push_back(static_cast<unsigned char>(c));
}

void FakeLine::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    written_.clear();
    frames_.clear();
    out_.clear();
    pending_.clear();
    inFrame_ = false;
}

namespace {

std::string Hex2(unsigned value) {
    char text[3];
    korvi70::PutHex(text, value & 0xFF, 2);
    return std::string(text, 2);
}

}  // namespace

std::string HexReply(unsigned source, unsigned transaction, unsigned status, std::string_view data, bool breakCheck) {
    std::string text = "71" + Hex2(source) + Hex2(transaction) + Hex2(status) + std::string(data);
    const unsigned check = korvi70::XorCheck(text) ^ (breakCheck ? 0x01u : 0x00u);
    return std::string("\xFF\xFF\x00", 3) + text + Hex2(check) + '\x01';
}

std::string HexRequestText(unsigned destination, unsigned transaction, unsigned command, std::string_view data) {
    std::string text = Hex2(destination) + "71" + Hex2(transaction) + Hex2(command) + std::string(data);
    return text + Hex2(korvi70::XorCheck(text));
}

void FakeLineTest::SetUp() {
    korvi70::SetTransactionSource([] { return static_cast<int>(kTransaction); });
    Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
    Korvi70_NrZlacza = kPort;
    Korvi70_NrIdProg = 0x71;
    Korvi70_JestEcho = 0;
    Korvi70_CzasOczekiwaniaRS = 0.05;
    platform::AttachComDevice(kPort, &line_);
    ASSERT_EQ(platform::OpenComConfig(kPort, "", 38400, platform::kParityNone, 8, 1, 1024, 1024), 0);
    ASSERT_EQ(platform::SetComTime(kPort, Korvi70_CzasOczekiwaniaRS), 0);
}

void FakeLineTest::TearDown() {
    platform::CloseCom(kPort);
    platform::AttachComDevice(kPort, nullptr);
    korvi70::SetTransactionSource(nullptr);
}

void FakeLineTest::AnswerWith(unsigned status, std::string_view data, bool breakCheck) {
    const std::string payload(data);
    line_.SetResponder([=](std::string_view frame) {
        unsigned destination = 0, transaction = 0;
        if (frame.size() < 8 || !korvi70::ParseHex(frame.substr(0, 2), &destination) ||
            !korvi70::ParseHex(frame.substr(4, 2), &transaction))
            return std::string();
        return HexReply(destination, transaction, status, payload, breakCheck);
    });
}

std::string FakeLineTest::OnlyFrame() {
    EXPECT_EQ(line_.Frames().size(), 1u);
    return line_.Frames().empty() ? std::string() : line_.Frames().back();
}

}  // namespace korvi70_test
