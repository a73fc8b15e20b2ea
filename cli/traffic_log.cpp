#include "cli/traffic_log.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <utility>

#include "platform/system.h"

namespace cli {
namespace {

// Lines are cut at this many bytes even without a terminator, so a line
// that never stops sending cannot grow one line without bound.
constexpr int kMaxBytesInLine = 1024;
// Bytes of one frame follow each other within this time; a longer pause
// starts a new line.
constexpr double kQuietSeconds = 0.02;

TrafficLog *g_active = nullptr;

void Observe(korvi70::TrafficDirection direction, const unsigned char *bytes, int count) {
    if (g_active != nullptr) g_active->Add(direction, bytes, count);
}

double Monotonic() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string Now() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    platform::LocalTime(seconds, local);
    char text[40];
    const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + n, sizeof text - n, ".%03d", static_cast<int>(millis));
    return text;
}

}  // namespace

TrafficLog::TrafficLog(Clock clock) : clock_(clock ? std::move(clock) : Clock(Monotonic)) {}

TrafficLog::~TrafficLog() { Close(); }

bool TrafficLog::Open(const std::string &path) {
    Close();
    failure_.clear();
    file_ = std::fopen(path.c_str(), "w");
    if (file_ == nullptr) {
        failure_ = std::strerror(errno);
        return false;
    }
    g_active = this;
    korvi70::SetTrafficObserver(Observe);
    return true;
}

void TrafficLog::Close() {
    if (file_ == nullptr) return;
    EndLine();
    if (g_active == this) {
        korvi70::SetTrafficObserver(nullptr);
        g_active = nullptr;
    }
    if (std::fclose(file_) != 0) Fail();
    file_ = nullptr;
}

void TrafficLog::Fail() {
    if (failure_.empty()) failure_ = std::strerror(errno);
}

void TrafficLog::Add(korvi70::TrafficDirection direction, const unsigned char *bytes, int count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const double now = clock_();
    if (bytesInLine_ > 0 && now - lastByte_ > kQuietSeconds) EndLine();
    lastByte_ = now;
    for (int i = 0; i < count; ++i) {
        if (bytesInLine_ > 0 && direction != direction_) EndLine();
        if (bytesInLine_ == 0) {
            direction_ = direction;
            stamp_ = Now();
        } else {
            line_ += ' ';
        }
        line_ += kDigits[bytes[i] >> 4];
        line_ += kDigits[bytes[i] & 0xF];
        ++bytesInLine_;
        if (bytes[i] == 0x01 || bytesInLine_ >= kMaxBytesInLine) EndLine();
    }
}

void TrafficLog::EndLine() {
    if (file_ == nullptr || bytesInLine_ == 0) return;
    // Written at once, so a log survives a program that is killed.
    if (std::fprintf(file_, "%s %s %s\n", stamp_.c_str(), direction_ == korvi70::TrafficDirection::Sent ? "TX" : "RX",
                     line_.c_str()) < 0 ||
        std::fflush(file_) != 0)
        Fail();
    line_.clear();
    bytesInLine_ = 0;
}

bool OpenLogOption(TrafficLog &log, const std::string &path, std::FILE *err) {
    if (path.empty() || log.Open(path)) return true;
    std::fprintf(err, "vgx52ctl: cannot write the log file %s: %s\n", path.c_str(), log.Failure().c_str());
    return false;
}

void CloseLogOption(TrafficLog &log, const std::string &path, std::FILE *err) {
    log.Close();
    if (!log.Failure().empty())
        std::fprintf(err, "vgx52ctl: the log file %s is incomplete: %s\n", path.c_str(), log.Failure().c_str());
}

}  // namespace cli
