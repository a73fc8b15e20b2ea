#include "cli/upgrade_progress.h"

#include <cmath>

namespace cli {
namespace {

constexpr int kBarWidth = 30;
constexpr double kRedrawSeconds = 0.1;  // a terminal is redrawn at most this often

}  // namespace

UpgradeProgress::UpgradeProgress(std::FILE *stream, bool terminal, int bytesPerPage)
    : stream_(stream), terminal_(terminal), bytesPerPage_(bytesPerPage) {}

std::string UpgradeProgress::Duration(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0 || seconds > 359999) return "-:--";
    const long total = std::lround(seconds);
    char text[48];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

std::string UpgradeProgress::BarText(int done, int count, double elapsed, int bytesPerPage) {
    if (count < 1) count = 1;
    if (done < 0) done = 0;
    if (done > count) done = count;
    const int filled = static_cast<int>(static_cast<long long>(done) * kBarWidth / count);
    std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                      std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "]";
    const double rate = elapsed > 0 ? done * static_cast<double>(bytesPerPage) / elapsed : 0;
    const double left = done > 0 ? (count - done) * (elapsed / done) : -1;
    char text[160];
    std::snprintf(text, sizeof text, "%s %d/%d pages  %.0f B/s  %s left", bar.c_str(), done, count, rate,
                  Duration(left).c_str());
    return text;
}

void UpgradeProgress::Start(int pageCount, double now) {
    count_ = pageCount;
    start_ = now;
    lastDraw_ = -1;
    lastTenth_ = 0;
    if (terminal_) {
        std::fprintf(stream_, "\r%s\033[K", BarText(0, count_, 0, bytesPerPage_).c_str());
        open_ = true;
    } else {
        std::fprintf(stream_, "upgrade: sending %d pages\n", count_);
    }
    std::fflush(stream_);
}

void UpgradeProgress::Update(int done, double now) {
    const double elapsed = now - start_;
    if (terminal_) {
        if (done < count_ && lastDraw_ >= 0 && now - lastDraw_ < kRedrawSeconds) return;
        lastDraw_ = now;
        std::fprintf(stream_, "\r%s\033[K", BarText(done, count_, elapsed, bytesPerPage_).c_str());
        open_ = true;
    } else {
        const int tenth = count_ > 0 ? static_cast<int>(static_cast<long long>(done) * 10 / count_) : 10;
        if (tenth == lastTenth_) return;
        lastTenth_ = tenth;
        std::fprintf(stream_, "upgrade: %s\n", BarText(done, count_, elapsed, bytesPerPage_).c_str());
    }
    std::fflush(stream_);
}

void UpgradeProgress::Finish() {
    if (open_) std::fputc('\n', stream_);
    open_ = false;
    std::fflush(stream_);
}

}  // namespace cli
