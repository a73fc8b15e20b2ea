// How far a firmware upgrade has got, on the terminal: a bar that redraws
// itself on one line (pages done, bytes per second, time left) when the
// stream is a terminal, plain lines at every tenth otherwise.
#pragma once
#include <cstdio>
#include <string>

namespace cli {

class UpgradeProgress {
public:
    // bytesPerPage: the image bytes each page carries.
    UpgradeProgress(std::FILE *stream, bool terminal, int bytesPerPage);

    void Start(int pageCount, double now);
    // Page `done` pages written (1..pageCount) at time now (seconds).
    void Update(int done, double now);
    // Ends the bar's line (a terminal needs its newline).
    void Finish();

    // The bar's text for `done` of `count` pages after `elapsed` seconds.
    static std::string BarText(int done, int count, double elapsed, int bytesPerPage);
    // "m:ss" (or "h:mm:ss"); "-:--" when not known.
    static std::string Duration(double seconds);

private:
    std::FILE *stream_;
    bool terminal_;
    int bytesPerPage_;
    int count_ = 0;
    double start_ = 0;
    double lastDraw_ = -1;
    int lastTenth_ = -1;
    bool open_ = false;  // a bar line is on the terminal without its newline
};

}  // namespace cli
