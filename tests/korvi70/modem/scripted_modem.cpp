#include "scripted_modem.h"

#include <strings.h>

#include <algorithm>

#include "korvi70/link.h"
#include "korvi70/modem/modem.h"
#include "platform/system.h"

namespace modem_test {

void ScriptedModem::SetLine(const sim::LineSettings &line) {
    std::lock_guard<std::mutex> guard(lock_);
    out_.Configure(line);
}

void ScriptedModem::Write(const unsigned char *data, std::size_t count) {
    std::lock_guard<std::mutex> guard(lock_);
    const double now = platform::Timer();
    const double byteTime = sim::ByteTime(out_.Settings().baud);
    for (std::size_t i = 0; i < count; ++i) {
        const char c = static_cast<char>(data[i]);
        written_.push_back(c);
        std::string line;
        if (c == '\r') {
            // Anything before the line's "AT" (the link's echo probe) is no command.
            std::size_t at = std::string::npos;
            for (std::size_t k = 0; k + 1 < line_.size(); ++k)
                if (strncasecmp(line_.c_str() + k, "AT", 2) == 0) at = k;
            line = at == std::string::npos ? std::string() : line_.substr(at);
            line_.clear();
            if (line.empty()) continue;
            if (echo) out_.Add(line + "\r", now, byteTime);
        } else {
            line_.push_back(c);
            const std::size_t n = line_.size();
            if (n < 3 || (c != '+' && c != '#') || line_[n - 2] != c || line_[n - 3] != c) continue;
            line = line_.substr(n - 3);
            line_.clear();
        }
        lines_.push_back(line);
        times_.push_back(now);
        const std::string reply = responder_ ? responder_(line) : std::string();
        const bool dial = strncasecmp(line.c_str(), "ATD", 3) == 0;
        out_.Add(reply, now + (dial ? dialAnswerDelay : 0.0), byteTime);
    }
}

std::size_t ScriptedModem::Read(unsigned char *data, std::size_t count, double) {
    std::lock_guard<std::mutex> guard(lock_);
    return out_.Take(platform::Timer(), data, count);
}

std::size_t ScriptedModem::Available() {
    std::lock_guard<std::mutex> guard(lock_);
    return out_.CountArrived(platform::Timer());
}

void ScriptedModem::DiscardInput() {
    std::lock_guard<std::mutex> guard(lock_);
    out_.DiscardArrived(platform::Timer());
}

std::string ScriptedModem::Written() {
    std::lock_guard<std::mutex> guard(lock_);
    return written_;
}

std::vector<std::string> ScriptedModem::Lines() {
    std::lock_guard<std::mutex> guard(lock_);
    return lines_;
}

std::vector<double> ScriptedModem::LineTimes() {
    std::lock_guard<std::mutex> guard(lock_);
    return times_;
}

void ScriptedModem::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    written_.clear();
    lines_.clear();
    times_.clear();
    out_.Clear();
}

void ModemTest::SetUp() {
    Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
    Korvi70_NrZlacza = kPort;
    Korvi70_JestEcho = 0;
    Korvi70_CzasOczekiwaniaRS = 0.05;
    Korvi70_CzasOdpowiedziModemu = 0.02;
    Korvi70_EchoModemu = 0;
    Korvi70_ZnakKoncaTransmisji = 0;
    korvi70::modem::SetEarlyEnd(true);
    platform::AttachComDevice(kPort, &modem_);
    ASSERT_EQ(platform::OpenComConfig(kPort, "", 38400, platform::kParityNone, 8, 1, 1024, 1024), 0);
    ASSERT_EQ(platform::SetComTime(kPort, Korvi70_CzasOczekiwaniaRS), 0);
}

void ModemTest::TearDown() {
    platform::CloseCom(kPort);
    platform::AttachComDevice(kPort, nullptr);
    korvi70::modem::SetEarlyEnd(true);
    korvi70::modem::SetEscapeGuardTime(1.0);
}

void ModemTest::AnswerAll(const std::string &reply) {
    modem_.SetResponder([reply](const std::string &) { return reply; });
}

void ModemLineTest::SetUp() {
    ModemTest::SetUp();
    modem_.SetLine(GetParam().settings);
    Korvi70_CzasOdpowiedziModemu = GetParam().replyTime;
}

}  // namespace modem_test
