#include "sim/modem.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

namespace sim {
namespace {

constexpr std::size_t kMaxLine = 80;  // characters after "AT" a command line may hold
constexpr double kNever = std::numeric_limits<double>::infinity();

struct Word {
    const char *text;
    int code;  // as sent with V0
};
constexpr Word kWords[] = {{"OK", 0},    {"CONNECT", 1},      {"RING", 2}, {"NO CARRIER", 3},
                           {"ERROR", 4}, {"NO DIAL TONE", 6}, {"BUSY", 7}, {"NO ANSWER", 8}};

// A number at text[at...] (none: 0); at moves past it.
int Number(const std::string &text, std::size_t &at) {
    int n = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && n < 100000)
        n = n * 10 + (text[at++] - '0');
    return n;
}

bool HasDigit(const std::string &text, std::size_t at) {
    return at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]));
}

}  // namespace

bool ParseDialOutcome(const std::string &word, DialOutcome *outcome) {
    static const std::map<std::string, DialOutcome> kNames = {{"connect", DialOutcome::Connect},
                                                              {"busy", DialOutcome::Busy},
                                                              {"no-carrier", DialOutcome::NoCarrier},
                                                              {"no-dial-tone", DialOutcome::NoDialTone},
                                                              {"silent", DialOutcome::Silent}};
    const auto it = kNames.find(word);
    if (it == kNames.end()) return false;
    *outcome = it->second;
    return true;
}

Modem::Modem(InstrumentLine &line, ModemSettings settings)
    : line_(line),
      settings_(std::move(settings)),
      escapeAt_(kNever),
      nextRingAt_(settings_.ring > 0 ? std::numeric_limits<double>::quiet_NaN() : kNever),
      dialAnswerAt_(kNever) {
    Reset();
}

void Modem::Reset() {
    echo_ = settings_.echo;
    verbose_ = true;
    quiet_ = false;
    for (int &r : registers_) r = 0;
    registers_[2] = '+';
    registers_[3] = '\r';
    registers_[4] = '\n';
    registers_[5] = 8;
    registers_[7] = 50;
    registers_[8] = 2;
    registers_[10] = 14;
    registers_[12] = 50;  // the escape's guard time: 1 s
}

void Modem::Send(const std::string &text, double at) {
    if (!settings_.silent && !text.empty()) line_.Output().Add(text, at, ByteTime(line_.Settings().baud));
}

void Modem::Connect() {
    mode_ = Mode::Data;
    connected_ = true;
    escapes_ = 0;
    line_.SetConnectionBaud(settings_.speed);
}

void Modem::HangUp() {
    offHook_ = connected_ = false;
    escapeAt_ = kNever;
    line_.SetConnectionBaud(0);
}

std::string Modem::Result(const char *word) const {
    if (quiet_) return {};
    for (const Word &w : kWords) {
        if (std::string(word).rfind(w.text, 0) != 0) continue;
        if (verbose_) return std::string("\r\n") + word + "\r\n";
        return std::to_string(w.code) + "\r";
    }
    return {};
}

void Modem::Log(const std::string &line) {
    log_.push_back(line);
    if (onLog) onLog(line);
}

void Modem::Write(const unsigned char *data, std::size_t count, double now) {
    Poll(now);  // what was due happened before these bytes came
    for (std::size_t i = 0; i < count; ++i) {
        if (mode_ == Mode::Data) {
            DataByte(data[i], now);
            lastInputAt_ = now;
            continue;
        }
        lastInputAt_ = now;
        if (mode_ == Mode::Dialling) {
            // Any character stops the dialling; it then counts as typed.
            mode_ = Mode::Command;
            offHook_ = false;
            dialAnswerAt_ = kNever;
            Log("(dialling stopped)");
        }
        CommandByte(data[i], now);
    }
}

void Modem::DataByte(unsigned char byte, double now) {
    const int escape = registers_[2];
    const double guard = registers_[12] / 50.0;
    const bool quietBefore = now - lastInputAt_ >= guard;
    if (escape > 127 || byte != escape)
        escapes_ = 0;
    else if (quietBefore)
        escapes_ = 1;  // a first one needs the silence before it
    else
        escapes_ = escapes_ >= 1 && escapes_ < 3 ? escapes_ + 1 : 0;
    // The third counts once the line stays silent for the guard time after it.
    escapeAt_ = escapes_ == 3 ? now + guard : kNever;
    // Escape characters travel on like any data: the remote side gets them too.
    line_.Write(&byte, 1, now);
}

void Modem::CommandByte(unsigned char byte, double now) {
    const char c = static_cast<char>(byte);
    // As typed: every character comes back, commands or not.
    if (echo_) Send(std::string(1, c), now);
    if (!inLine_) {
        // Nothing is a command before "AT": other bytes go unanswered.
        if (sawA_ && (c == 'T' || c == 't')) {
            inLine_ = true;
            input_ = "AT";
        }
        sawA_ = c == 'A' || c == 'a';
        return;
    }
    if (byte == static_cast<unsigned char>(registers_[3])) {
        inLine_ = sawA_ = false;
        Execute(input_, now);
        input_.clear();
        return;
    }
    if (byte == static_cast<unsigned char>(registers_[5])) {
        if (input_.size() > 2) input_.pop_back();
        return;
    }
    if (input_.size() < 2 + kMaxLine + 1) input_.push_back(c);
}

void Modem::Execute(const std::string &line, double now) {
    Log(line);
    std::string out;
    bool dialled = false;
    for (const std::string &prefix : settings_.refused) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            Send(Result("ERROR"), now);
            return;
        }
    }
    if (line.size() > 2 + kMaxLine || !Run(line.substr(2), out, now, dialled)) {
        Send(Result("ERROR"), now);
        return;
    }
    Send(out, now);
    if (!dialled && mode_ != Mode::Data) Send(Result("OK"), now);
}

bool Modem::Run(const std::string &text, std::string &out, double now, bool &dialled) {
    const auto info = [&](const std::string &value) { out += verbose_ ? "\r\n" + value + "\r\n" : value + "\r\n"; };
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[at++])));
        if (c == ' ') continue;
        if (c == 'D') {
            std::string number = text.substr(at);
            if (!number.empty() && (std::toupper(number[0]) == 'T' || std::toupper(number[0]) == 'P'))
                number.erase(0, 1);
            const auto own = settings_.byNumber.find(number);
            const DialOutcome outcome = own != settings_.byNumber.end() ? own->second : settings_.outcome;
            dialled_ = number;
            dialled = true;
            offHook_ = true;
            mode_ = Mode::Dialling;
            dialAnswerAt_ = outcome == DialOutcome::Silent ? kNever : now + settings_.dialDelay;
            pendingOutcome_ = outcome;
            return true;
        }
        if (c == 'S') {
            const int reg = Number(text, at);
            if (reg > 255 || at >= text.size()) return false;
            if (text[at] == '?') {
                ++at;
                char value[8];
                std::snprintf(value, sizeof value, "%03d", registers_[reg]);
                info(value);
            } else if (text[at] == '=') {
                ++at;
                const int value = Number(text, at);
                if (value > 255) return false;
                registers_[reg] = value;
            } else {
                return false;
            }
            continue;
        }
        if (c == '&') {
            if (at >= text.size()) return false;
            const char k = static_cast<char>(std::toupper(static_cast<unsigned char>(text[at++])));
            if (k == 'Z') {
                const int slot = Number(text, at);
                if (slot > 3 || at >= text.size()) return false;
                if (text[at] == '?') {
                    ++at;
                    if (!stored_[slot].empty()) info(stored_[slot]);
                } else if (text[at] == '=') {
                    stored_[slot] = text.substr(at + 1);
                    at = text.size();
                } else {
                    return false;
                }
                continue;
            }
            const bool given = HasDigit(text, at);
            const int n = Number(text, at);
            const int max = k == 'B'                 ? 2
                            : (k == 'N' || k == 'U') ? 38
                            : k == 'W'               ? 1
                            : k == 'T'               ? 8
                            : k == 'F'               ? 0
                                                     : -1;
            if (max < 0 || n > max || (k == 'T' && n == 2) || (k != 'F' && !given && k != 'W')) return false;
            continue;
        }
        const int n = Number(text, at);
        switch (c) {
        case 'E':
            if (n > 1) return false;
            echo_ = n == 1;
            break;
        case 'Q':
            if (n > 1) return false;
            quiet_ = n == 1;
            break;
        case 'V':
            if (n > 1) return false;
            verbose_ = n == 1;
            break;
        case 'X':
        case 'Y':
            if (n > 4) return false;
            break;
        case 'F':
        case 'L':
        case 'M':
            if (n > 3) return false;
            break;
        case 'Z':
            if (n > 5) return false;
            Reset();
            break;
        case 'H':
            if (n > 1) return false;
            if (n == 0)
                HangUp();
            else
                offHook_ = true;
            break;
        case 'I':
            if (n == 3)
                info(settings_.product);
            else if (n == 0)
                info("33600");
            break;
        case 'O':
            if (!connected_) return false;
            mode_ = Mode::Data;
            escapes_ = 0;
            out += Result("CONNECT");
            break;
        default: return false;
        }
    }
    return true;
}

void Modem::Ring(double now) {
    if (std::isnan(nextRingAt_)) nextRingAt_ = now + settings_.ring;  // rings count from the first look
    if (now < nextRingAt_) return;
    if (Idle()) Send(Result("RING"), nextRingAt_);
    nextRingAt_ += settings_.ring * std::ceil((now - nextRingAt_) / settings_.ring + 1e-9);
}

void Modem::Poll(double now) {
    if (settings_.ring > 0) Ring(now);
    if (mode_ == Mode::Data && now >= escapeAt_) {
        mode_ = Mode::Command;
        escapes_ = 0;
        Log(std::string(3, static_cast<char>(registers_[2])));
        Send(Result("OK"), escapeAt_);
        escapeAt_ = kNever;
    }
    if (mode_ != Mode::Dialling || now < dialAnswerAt_) return;
    const double at = dialAnswerAt_;
    dialAnswerAt_ = kNever;
    switch (pendingOutcome_) {
    case DialOutcome::Connect: {
        Connect();
        const std::string word = settings_.speed > 0 ? "CONNECT " + std::to_string(settings_.speed) : "CONNECT";
        Send(Result(word.c_str()), at);
        return;
    }
    case DialOutcome::Busy: Send(Result("BUSY"), at); break;
    case DialOutcome::NoDialTone: Send(Result("NO DIAL TONE"), at); break;
    default: Send(Result("NO CARRIER"), at); break;
    }
    mode_ = Mode::Command;
    HangUp();
}

double Modem::NextEvent() const {
    double next = settings_.ring > 0 && !std::isnan(nextRingAt_) ? nextRingAt_ : kNever;
    if (mode_ == Mode::Data) next = std::min(next, escapeAt_);
    if (mode_ == Mode::Dialling) next = std::min(next, dialAnswerAt_);
    return next;
}

}  // namespace sim
