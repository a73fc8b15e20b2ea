#include "korvi70/config.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "korvi70/link.h"
#include "platform/ascii.h"
#include "platform/paths.h"
#include "platform/textfile.h"

char Korvi70_NazwaZbioruZGrafika[261] = "\\Korvi70\\SoftWare\\LWCVI\\Korvi70G.Uir";
unsigned char Korvi70_CzyPytacOPolaczenie = 1;

namespace korvi70 {
namespace {

constexpr char kConfigFile[] = "C:\\Korvi70.Kfg";
constexpr std::size_t kMaxLine = 600;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// Next word after any white space; empty when there is none.
std::string_view NextWord(std::string_view &rest) {
    std::size_t start = 0;
    while (start < rest.size() && IsBlank(rest[start])) ++start;
    std::size_t end = start;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    const std::string_view word = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return word;
}

// A decimal integer at the start of the word, as the file's readers take it.
bool ReadInt(std::string_view word, long long *value) {
    const char *first = word.data();
    const char *last = word.data() + word.size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, *value);
    return error == std::errc() && end != first;
}

// A real number at the start of the word.
bool ReadReal(std::string_view word, double *value) {
    const char *first = word.data();
    const char *last = word.data() + word.size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, *value, std::chars_format::general);
    return error == std::errc() && end != first && std::isfinite(*value);
}

template <std::size_t N>
void SetText(char (&target)[N], std::string_view text) {
    if (text.size() >= N) return;  // too long: the previous value stays
    std::memcpy(target, text.data(), text.size());
    target[text.size()] = '\0';
}

}  // namespace

void SetConfigDefaults() {
    std::strcpy(Korvi70_NazwaZbioruZGrafika, "\\Korvi70\\SoftWare\\LWCVI\\Korvi70G.Uir");
    Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
    Korvi70_NrZlacza = 2;
    Korvi70_NrIdProg = 0x71;
    Korvi70_CzasOczekiwaniaRS = 0.5;
    Korvi70_NrPortuTCP = 66;
    std::strcpy(Korvi70_NazwaServeraKorviTCP, "127.0.0.1");
    Korvi70_TCPIP_TimeOut = 500.0;
    Korvi70_CzyPytacOPolaczenie = 1;
}

void ApplyConfigLine(std::string_view line) {
    if (line.empty() || line.front() != '#') return;
    line.remove_prefix(1);
    const std::string_view key = NextWord(line);
    const std::string_view value = NextWord(line);
    if (key.empty() || value.empty()) return;

    long long integer = 0;
    double real = 0;
    if (platform::EqualsIgnoringAsciiCase(key, "NazwaZbioruZGrafika")) {
        SetText(Korvi70_NazwaZbioruZGrafika, value);
    } else if (platform::EqualsIgnoringAsciiCase(key, "TypLacza")) {
        if (platform::EqualsIgnoringAsciiCase(value, "PolaczenieBezposrednieRS"))
            Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
        else if (platform::EqualsIgnoringAsciiCase(value, "PolaczeniePrzezKorviTCP"))
            Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
        else if (platform::EqualsIgnoringAsciiCase(value, "PolaczeniePrzezModem"))
            Korvi70_TypLacza = Korvi70_PolaczeniePrzezModem;
    } else if (platform::EqualsIgnoringAsciiCase(key, "NrZlaczaRS")) {
        if (ReadInt(value, &integer) && integer >= 1 && integer <= 100) Korvi70_NrZlacza = static_cast<int>(integer);
    } else if (platform::EqualsIgnoringAsciiCase(key, "NrIdProg")) {
        if (ReadInt(value, &integer) && integer >= 0 && integer <= 255)
            Korvi70_NrIdProg = static_cast<unsigned char>(integer);
    } else if (platform::EqualsIgnoringAsciiCase(key, "CzasOczekiwaniaRS")) {
        if (ReadReal(value, &real) && real >= 0.05 && real <= 5.0) Korvi70_CzasOczekiwaniaRS = real;
    } else if (platform::EqualsIgnoringAsciiCase(key, "NrPortuTCP")) {
        if (ReadInt(value, &integer) && integer >= std::numeric_limits<int>::min() &&
            integer <= std::numeric_limits<int>::max())
            Korvi70_NrPortuTCP = static_cast<int>(integer);
    } else if (platform::EqualsIgnoringAsciiCase(key, "NazwaServeraKorviTCP")) {
        SetText(Korvi70_NazwaServeraKorviTCP, value);
    } else if (platform::EqualsIgnoringAsciiCase(key, "TCPIP_TimeOut")) {
        if (ReadReal(value, &real) && real >= 5.0) Korvi70_TCPIP_TimeOut = real;
    } else if (platform::EqualsIgnoringAsciiCase(key, "CzyPytacOPolaczenie")) {
        if (platform::EqualsIgnoringAsciiCase(value, "TAK"))
            Korvi70_CzyPytacOPolaczenie = 1;
        else if (platform::EqualsIgnoringAsciiCase(value, "NIE"))
            Korvi70_CzyPytacOPolaczenie = 0;
    }
}

}  // namespace korvi70

int Korvi70_OdczytajZbiorKonfig() {
    korvi70::SetConfigDefaults();
    platform::TextFileReader file;
    if (!file.Open(platform::HostPath(korvi70::kConfigFile), platform::Encoding::Cp1250)) return -1;
    std::string line;
    while (file.ReadLine(line, korvi70::kMaxLine) >= 0) korvi70::ApplyConfigLine(line);
    file.Close();
    return 0;
}
