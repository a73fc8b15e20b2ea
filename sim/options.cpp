#include "sim/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace sim {
namespace {

bool ToLong(const std::string &text, long *value) {
    if (text.empty()) return false;
    char *end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 0);  // decimal or 0x...
    if (errno != 0 || end == text.c_str() || *end != '\0') return false;
    *value = v;
    return true;
}

// "N,G": a piece length 1..10000 and a gap in milliseconds.
bool ToSplit(const std::string &text, int *pieces, double *gapSeconds) {
    const std::size_t comma = text.find(',');
    long n = 0;
    double gap = 0;
    if (comma == std::string::npos || !ToLong(text.substr(0, comma), &n) || n < 1 || n > 10000) return false;
    char *end = nullptr;
    const std::string ms = text.substr(comma + 1);
    gap = std::strtod(ms.c_str(), &end);
    if (ms.empty() || *end != '\0' || !std::isfinite(gap) || gap < 0 || gap > 10000) return false;
    *pieces = static_cast<int>(n);
    *gapSeconds = gap / 1000.0;
    return true;
}

bool ToDouble(const std::string &text, double *value) {
    char *end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(v) || v < 0) return false;
    *value = v;
    return true;
}

}  // namespace

const char *Usage() {
    return "usage: vgx52-sim (--com N | --tcp PORT) [switches]\n"
           "  --com N               simulated instrument on a pseudo-terminal linked as comN in the drive root\n"
           "  --tcp PORT            Korvi70 TCP gateway on 127.0.0.1:PORT (0 = any free port)\n"
           "  --id N                instrument ID and legacy address (default 5)\n"
           "  --type CODE           type code answered to identify (default 0x1B0)\n"
           "  --software N          internal software version answered to command 11 (default 105)\n"
           "  --state FILE          load the instrument's state from FILE if it exists, save it there at exit\n"
           "  --echo                the line echoes every byte\n"
           "  --silent              no replies\n"
           "  --wrong-check         reply check one bit off\n"
           "  --wrong-transaction   reply transaction number plus one\n"
           "  --status N            every hex reply carries this status\n"
           "  --garbage             bytes ahead of every reply's lead-in\n"
           "  --cut N               send only N bytes of each reply\n"
           "  --delay S             seconds before each reply\n"
           "  --paced               bytes take their wire time at 38400 baud\n"
           "  --baud N              bytes take their wire time at N baud\n"
           "  --usb-latency MS      as through a USB adapter: bytes towards the program are held and\n"
           "                        delivered together every MS ms, or as soon as 62 have gathered\n"
           "  --split N,G           each reply comes in random pieces of 1..N bytes, G ms or less apart\n"
           "  --seed S              seed of the random pieces (default 1)\n"
           "  --real-line           as on a bench: 38400 baud, --usb-latency 16, --split 8,10; a switch\n"
           "                        of its own given with it wins\n"
           "  --turnaround S        seconds between a request and its reply (default 0.001, 0 when paced)\n"
           "  --silent-after-pages N  no answers once N flash pages are written\n"
           "  --gateway-error CODE  the gateway answers 'c' with this code\n"
           "  --gateway-silent      the gateway does not answer\n"
           "  --gateway-delay S     seconds before each gateway reply\n"
           "  --modem               a Hayes modem in front of the instrument (with --com)\n"
           "  --modem-silent        the modem answers nothing\n"
           "  --modem-no-echo       the modem starts with its echo off (E0)\n"
           "  --modem-dial OUTCOME  a dial command's answer: connect (default), busy, no-carrier,\n"
           "                        no-dial-tone or silent\n"
           "  --modem-number N=OUTCOME  the answer for dialling number N\n"
           "  --modem-dial-delay S  seconds from the dial command to its answer (default 0.3)\n"
           "  --modem-speed N       the speed after CONNECT (default 9600; 0 = none)\n"
           "  --modem-refuse TEXT   command lines starting with TEXT answer ERROR\n"
           "  --modem-ring S        an unsolicited RING line every S seconds while the modem is idle\n"
           "  --modem-log FILE      append each command line the modem receives to FILE\n";
}

bool ParseOptions(const std::vector<std::string> &args, SimOptions *o, std::string *error) {
    const auto bad = [&](const std::string &why) {
        *error = why;
        return false;
    };
    bool realLine = false, baudGiven = false, latencyGiven = false, splitGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool hasValue = i + 1 < args.size();
        long n = 0;
        double s = 0;
        const auto number = [&](long low, long high) {
            return hasValue && ToLong(args[++i], &n) && n >= low && n <= high;
        };
        const auto seconds = [&] { return hasValue && ToDouble(args[++i], &s); };
        if (a == "--help" || a == "-h")
            o->help = true;
        else if (a == "--com") {
            if (!number(1, 1000)) return bad("--com needs a port number 1..1000");
            o->com = static_cast<int>(n);
        } else if (a == "--tcp") {
            if (!number(0, 65535)) return bad("--tcp needs a port 0..65535");
            o->tcp = static_cast<int>(n);
        } else if (a == "--id") {
            if (!number(0, 255)) return bad("--id needs 0..255");
            o->id = static_cast<int>(n);
            o->idGiven = true;
        } else if (a == "--type") {
            if (!number(0, 0xFFFF)) return bad("--type needs 0..0xFFFF");
            o->typeCode = static_cast<unsigned>(n);
            o->typeGiven = true;
        } else if (a == "--software") {
            if (!number(0, 0xFFFF)) return bad("--software needs 0..0xFFFF");
            o->softwareVersion = static_cast<int>(n);
        } else if (a == "--state") {
            if (!hasValue || args[i + 1].empty()) return bad("--state needs a file name");
            o->statePath = args[++i];
        } else if (a == "--echo")
            o->faults.echo = true;
        else if (a == "--silent")
            o->faults.silent = true;
        else if (a == "--wrong-check")
            o->faults.wrongCheck = true;
        else if (a == "--wrong-transaction")
            o->faults.wrongTransaction = true;
        else if (a == "--status") {
            if (!number(1, 255)) return bad("--status needs 1..255");
            o->faults.status = static_cast<int>(n);
        } else if (a == "--garbage")
            o->faults.garbage = std::string(kDefaultGarbage);
        else if (a == "--cut") {
            if (!number(0, 100000)) return bad("--cut needs a byte count");
            o->faults.cutAfter = static_cast<int>(n);
        } else if (a == "--delay") {
            if (!seconds()) return bad("--delay needs seconds");
            o->faults.delay = s;
        } else if (a == "--paced") {
            o->line.baud = 38400;
            baudGiven = true;
        } else if (a == "--baud") {
            if (!number(50, 4000000)) return bad("--baud needs a rate");
            o->line.baud = n;
            baudGiven = true;
        } else if (a == "--usb-latency") {
            if (!seconds() || s > 1000) return bad("--usb-latency needs milliseconds 0..1000");
            o->line.usbLatency = s / 1000.0;
            latencyGiven = true;
        } else if (a == "--split") {
            if (!hasValue || !ToSplit(args[++i], &o->line.splitMax, &o->line.splitGap))
                return bad("--split needs N,G: pieces of 1..N bytes, G milliseconds apart at most");
            splitGiven = true;
        } else if (a == "--seed") {
            if (!number(0, 0x7FFFFFFF)) return bad("--seed needs 0..2147483647");
            o->line.seed = static_cast<unsigned>(n);
        } else if (a == "--real-line")
            realLine = true;
        else if (a == "--silent-after-pages") {
            if (!number(0, 100000)) return bad("--silent-after-pages needs a page count");
            o->faults.silentAfterPages = static_cast<int>(n);
        } else if (a == "--turnaround") {
            if (!seconds()) return bad("--turnaround needs seconds");
            o->turnaround = s;
        } else if (a == "--gateway-error") {
            if (!number(0, 0xFFFF)) return bad("--gateway-error needs 0..0xFFFF");
            o->gateway.errorCode = static_cast<int>(n);
        } else if (a == "--gateway-silent")
            o->gateway.silent = true;
        else if (a == "--gateway-delay") {
            if (!seconds()) return bad("--gateway-delay needs seconds");
            o->gateway.delay = s;
        } else if (a == "--modem")
            o->modem.present = true;
        else if (a == "--modem-silent")
            o->modem.silent = true;
        else if (a == "--modem-no-echo")
            o->modem.echo = false;
        else if (a == "--modem-dial") {
            if (!hasValue || !ParseDialOutcome(args[++i], &o->modem.outcome))
                return bad("--modem-dial needs connect, busy, no-carrier, no-dial-tone or silent");
        } else if (a == "--modem-number") {
            const std::string value = hasValue ? args[++i] : std::string();
            const auto eq = value.find('=');
            DialOutcome outcome;
            if (eq == std::string::npos || !ParseDialOutcome(value.substr(eq + 1), &outcome))
                return bad("--modem-number needs NUMBER=OUTCOME");
            o->modem.byNumber[value.substr(0, eq)] = outcome;
        } else if (a == "--modem-dial-delay") {
            if (!seconds()) return bad("--modem-dial-delay needs seconds");
            o->modem.dialDelay = s;
        } else if (a == "--modem-speed") {
            if (!number(0, 1000000)) return bad("--modem-speed needs a speed");
            o->modem.speed = static_cast<int>(n);
        } else if (a == "--modem-refuse") {
            if (!hasValue || args[i + 1].empty()) return bad("--modem-refuse needs a command text");
            o->modem.refused.push_back(args[++i]);
        } else if (a == "--modem-ring") {
            if (!seconds() || s <= 0) return bad("--modem-ring needs seconds above 0");
            o->modem.ring = s;
        } else if (a == "--modem-log") {
            if (!hasValue || args[i + 1].empty()) return bad("--modem-log needs a file name");
            o->modemLog = args[++i];
        } else
            return bad("unknown switch " + a);
    }
    if (realLine) {
        const LineSettings real = RealLine(o->line.seed);
        if (!baudGiven) o->line.baud = real.baud;
        if (!latencyGiven) o->line.usbLatency = real.usbLatency;
        if (!splitGiven) {
            o->line.splitMax = real.splitMax;
            o->line.splitGap = real.splitGap;
        }
    }
    if (o->help) return true;
    if ((o->com > 0) == (o->tcp >= 0)) return bad("give either --com N or --tcp PORT");
    if (o->modem.present && o->com <= 0) return bad("--modem needs --com N");
    if (o->turnaround < 0) o->turnaround = o->line.baud > 0 ? 0.0 : 0.001;
    return true;
}

}  // namespace sim
