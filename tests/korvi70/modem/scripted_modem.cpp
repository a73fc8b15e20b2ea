#include "scripted_modem.h"

#include <strings.h>

#include <algorithm>

#include "korvi70/link.h"
#include "korvi70/modem/modem.h"

namespace modem_test {

void ScriptedModem::Write(const unsigned char *data, std::size_t count) {
    std::lock_guard<std::mutex> guard(lock_);
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
            if (echo) out_.insert(out_.end(), line.begin(), line.end()), out_.push_back('\r');
        } else {
            line_.push_back(c);
            const std::size_t n = line_.size();
            if (n < 3 || (c != '+' && c != '#') || line_[n - 2] != c || line_[n - 3] != c) continue;
            line = line_.substr(n - 3);
            line_.clear();
        }
        lines_.push_back(line);
        const std::string reply = responder_ ? responder_(line) : std::string();
        out_.insert(out_.end(), reply.begin(), reply.end());
    }
}

std::size_t ScriptedModem::Read(unsigned char *data, std::size_t count, double) {
    std::lock_guard<std::mutex> guard(lock_);
    const std::size_t n = std::min(count, out_.size());
    for (std::size_t i = 0; i < n; ++i) {
        data[i] = out_.front();
        out_.pop_front();
    }
    return n;
}

std::size_t ScriptedModem::Available() {
    std::lock_guard<std::mutex> guard(lock_);
    return out_.size();
}

void ScriptedModem::DiscardInput() {
    std::lock_guard<std::mutex> guard(lock_);
    out_.clear();
}

std::string ScriptedModem::Written() {
    std::lock_guard<std::mutex> guard(lock_);
    return written_;
}

std::vector<std::string> ScriptedModem::Lines() {
    std::lock_guard<std::mutex> guard(lock_);
    return lines_;
}

void ScriptedModem::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    written_.clear();
    lines_.clear();
    out_.clear();
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
}

void ModemTest::AnswerAll(const std::string &reply) {
    modem_.SetResponder([reply](const std::string &) { return reply; });
}

}  // namespace modem_test
