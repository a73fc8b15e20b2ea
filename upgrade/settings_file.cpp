#include "upgrade/settings_file.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "korvi70/model_names.h"
#include "platform/ascii.h"
#include "platform/system.h"
#include "platform/textfile.h"

namespace upgrade {
namespace {

constexpr std::size_t kMaxLine = 600;
constexpr int kSerialLength = Korvi70_DlugoscNumeruSeryjnego;

constexpr std::string_view kKeyReal = "Nastawa_";  // followed by the code letter
constexpr std::string_view kKeyInteger = "NastawaCalkowita_A";
constexpr std::string_view kKeyId = "NrId";
constexpr std::string_view kKeySerial = "NumerSeryjny";
constexpr std::string_view kKeySerialHex = "NumerSeryjnyHex";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view NextWord(std::string_view &rest) {
    std::size_t start = 0;
    while (start < rest.size() && IsBlank(rest[start])) ++start;
    std::size_t end = start;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    const std::string_view word = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return word;
}

// The shortest text that reads back as the same single-precision value.
std::string RealText(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
    return ec == std::errc() ? std::string(buffer, end) : "nan";
}

// The serial number as a plain word: printable ASCII without blanks, the
// blanks that pad it to 8 characters dropped. False when it holds others
// (a NUL among them): those travel as hex digits.
bool PlainSerial(const char *serial, std::string *word) {
    if (strnlen(serial, kSerialLength) != static_cast<std::size_t>(kSerialLength)) return false;
    std::string text(serial, kSerialLength);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (text.empty()) return false;
    for (char c : text)
        if (c < 0x21 || c > 0x7E) return false;
    *word = text;
    return true;
}

std::string HexSerial(const char *serial) {
    std::string hex;
    char digits[3];
    for (int i = 0; i < kSerialLength; ++i) {
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(serial[i]));
        hex += digits;
    }
    return hex;
}

std::string Line(std::string_view key, const std::string &value) {
    return "# " + std::string(key) + " " + value + "\n";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

template <class T>
bool WholeNumber(std::string_view word, T *value) {
    const char *first = word.data(), *last = word.data() + word.size();
    if (first != last && *first == '+') ++first;
    const auto [end, ec] = std::from_chars(first, last, *value);
    return ec == std::errc() && end == last && first != last;
}

// One "# Key value" line into settings; "" when taken or not a setting,
// otherwise why its value was not accepted.
std::string ApplyLine(std::string_view line, SavedSettings &settings) {
    std::string_view rest = line.substr(1);
    const std::string_view key = NextWord(rest);
    const std::string_view value = NextWord(rest);
    if (key.size() == kKeyReal.size() + 1 &&
        platform::EqualsIgnoringAsciiCase(key.substr(0, kKeyReal.size()), kKeyReal)) {
        // Keys ignore case, so "Nastawa_B" is "Nastawa_b".
        const char last = key.back();
        const char code = last >= 'A' && last <= 'Z' ? static_cast<char>(last - 'A' + 'a') : last;
        if (code < 'a' || code >= 'a' + kRealSettings) return "";
        float real = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), real);
        if (ec != std::errc() || end != value.data() + value.size() || value.empty() || !std::isfinite(real))
            return "not a finite single-precision number: " + std::string(value);
        settings.reals[code - 'a'] = real;
        settings.held[code - 'a'] = true;
        return "";
    }
    if (platform::EqualsIgnoringAsciiCase(key, kKeyInteger)) {
        int integer = 0;
        // The instrument keeps 16 bits and gives them back sign-extended.
        if (!WholeNumber(value, &integer) || integer < -32768 || integer > 65535)
            return "not a 16-bit integer: " + std::string(value);
        settings.integerA = integer > 32767 ? integer - 65536 : integer;
        settings.held[kIntegerA] = true;
        return "";
    }
    if (platform::EqualsIgnoringAsciiCase(key, kKeyId)) {
        int id = 0;
        if (!WholeNumber(value, &id) || id < 0 || id > 255) return "not an ID from 0 to 255: " + std::string(value);
        settings.id = static_cast<unsigned char>(id);
        settings.held[kInstrumentId] = true;
        return "";
    }
    if (platform::EqualsIgnoringAsciiCase(key, kKeySerial)) {
        if (value.empty() || value.size() > static_cast<std::size_t>(kSerialLength))
            return "a serial number has 1 to 8 characters: " + std::string(value);
        for (char c : value)
            if (c < 0x21 || c > 0x7E) return "a serial number here holds ASCII letters, digits and signs";
        std::memset(settings.serial, ' ', kSerialLength);
        std::memcpy(settings.serial, value.data(), value.size());
        settings.serial[kSerialLength] = '\0';
        settings.held[kSerialNumber] = true;
        return "";
    }
    if (platform::EqualsIgnoringAsciiCase(key, kKeySerialHex)) {
        char bytes[kSerialLength + 1] = {};
        bool ok = value.size() == 2 * static_cast<std::size_t>(kSerialLength);
        for (int i = 0; ok && i < kSerialLength; ++i) {
            const int high = HexDigit(value[2 * i]), low = HexDigit(value[2 * i + 1]);
            ok = high >= 0 && low >= 0;
            bytes[i] = static_cast<char>(high * 16 + low);
        }
        if (!ok) return "a serial number in hex has 16 hex digits: " + std::string(value);
        std::memcpy(settings.serial, bytes, sizeof bytes);
        settings.held[kSerialNumber] = true;
        return "";
    }
    return "";
}

}  // namespace

std::string SettingValueText(const SavedSettings &settings, int item) {
    if (item < 0 || item >= kSettingItems || !settings.held[item]) return "";
    if (item < kIntegerA) return RealText(settings.reals[item]);
    switch (item) {
    case kIntegerA: return std::to_string(settings.integerA);
    case kInstrumentId: return std::to_string(settings.id);
    default: {
        std::string word;
        return PlainSerial(settings.serial, &word) ? word : HexSerial(settings.serial);
    }
    }
}

std::string SettingsFileText(const SavedSettings &settings, const InstrumentFacts &facts) {
    std::string degrees;
    for (int i = 0; i < 55; ++i) degrees += "\u00B0";  // 0xB0 in Windows-1250
    degrees += "\n";
    // Each setting line, or nothing when the set does not hold the item.
    const auto setting = [&](int item, std::string_view key) {
        return settings.held[item] ? Line(key, SettingValueText(settings, item)) : std::string();
    };

    std::string text = degrees + "         Kopia ustawień przyrządu VGX52\n" + degrees;
    text += "Ustawienia odczytane z przyrządu. \"vgx52ctl settings-restore\" zapisuje je do przyrządu:\n";
    text += "każdą nastawę z wiersza \"# Klucz wartość\"; pozostałe wiersze są komentarzem.\n\n";
    if (facts.identified) {
        char name[Korvi70_RozmiarNazwyPrzyrzadu] = {};
        Korvi70_RozszerzNazwePrzyrzadu(facts.typeCode, name, facts.softwareVersion);
        text += std::string("Przyrząd: ") + name + "\n";
        char code[8];
        std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(facts.typeCode) & 0xFFFFu);
        text += Line("KodTypu", code);
    } else {
        text += "Przyrząd nie przedstawił się.\n";
    }
    if (facts.hardwareVersion > 0) text += Line("WersjaSprzetu", std::to_string(facts.hardwareVersion));
    if (facts.softwareVersion > 0) text += Line("WersjaOprogramowania", std::to_string(facts.softwareVersion));
    text += "data zapisu:\n" + Line("DATA", platform::DateStr());
    text += "czas zapisu:\n" + Line("CZAS", platform::TimeStr());

    text += "\nNumer seryjny przyrządu (8 znaków)\n";
    std::string word;
    if (settings.held[kSerialNumber])
        text += Line(PlainSerial(settings.serial, &word) ? kKeySerial : kKeySerialHex,
                     SettingValueText(settings, kSerialNumber));
    text += "Numer ID przyrządu w sieci Korvi70 (0..255; 0 zostaje w przyrządzie bez zmiany)\n";
    text += setting(kInstrumentId, kKeyId);
    text += "Nastawy rzeczywiste \"a\"..\"m\"\n";
    for (int i = 0; i < kRealSettings; ++i) text += setting(i, std::string(kKeyReal) + SettingName(i));
    text += "Nastawa całkowita \"A\" (16 bitów)\n";
    text += setting(kIntegerA, kKeyInteger);

    std::string missing;
    for (int i = 0; i < kSettingItems; ++i)
        if (!settings.held[i]) missing += std::string(missing.empty() ? "" : ", ") + SettingName(i);
    if (!missing.empty()) text += "\nNie odczytano z przyrządu: " + missing + "\n";
    return text;
}

int WriteSettingsFile(const char *path, const SavedSettings &settings, const InstrumentFacts &facts,
                      std::string *error) {
    platform::TextFileWriter file;
    if (path == nullptr ||
        !file.Open(path, platform::TextFileWriter::Mode::AtomicReplace, platform::Encoding::Cp1250)) {
        if (error) *error = file.Reason().empty() ? "the file cannot be made" : file.Reason();
        return -1;
    }
    if (!file.Write(SettingsFileText(settings, facts)) || file.Close() != 0) {
        if (error) *error = file.Reason().empty() ? "the file cannot be written" : file.Reason();
        return -1;
    }
    return 0;
}

int ReadSettingsFile(const char *path, SavedSettings &settings, std::vector<std::string> *ignored, std::string *error) {
    platform::TextFileReader file;
    errno = 0;
    if (path == nullptr || !file.Open(path, platform::Encoding::Cp1250)) {
        if (error) *error = errno != 0 ? std::strerror(errno) : "the file cannot be opened";
        return -1;
    }
    SavedSettings read;
    std::string line;
    int number = 0;
    for (;;) {
        const int length = file.ReadLine(line, kMaxLine);
        if (length == -2) break;
        ++number;
        if (length < 0) {
            if (error) *error = "line " + std::to_string(number) + " cannot be read";
            return -1;
        }
        if (line.empty() || line[0] != '#') continue;
        const std::string why = ApplyLine(line, read);
        if (!why.empty() && ignored) ignored->push_back("line " + std::to_string(number) + ": " + why);
    }
    settings = read;
    return 0;
}

}  // namespace upgrade
