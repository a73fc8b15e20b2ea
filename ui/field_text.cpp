// How a field shows a number and reads the one the operator typed: the same
// for every back end, and whatever the desktop's language (the C library's
// number functions follow the locale a toolkit may have set).
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>

#include "ui/model.h"

namespace ui::model {
namespace {

bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool ReadHex(std::string_view text, double &value) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
    unsigned long long n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n, 16);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || n > LLONG_MAX) return false;
    value = negative ? -static_cast<double>(n) : static_cast<double>(n);
    return true;
}

bool ReadDecimal(std::string_view text, double &value) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

}  // namespace

std::string FieldText(const Control &c) {
    char buffer[400];
    if (c.kind != CTRL_NUMERIC_INT) {
        const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, c.numeric, std::chars_format::fixed,
                                                std::clamp(c.precision, 0, 15));
        return error == std::errc() ? std::string(buffer, end) : std::string();
    }
    const long long value = std::llround(c.numeric);
    if (c.format != VAL_HEX_FORMAT) return std::to_string(value);
    // As many digits as the field's largest value has: bytes as "0F", addresses as "0100".
    const double largest = std::max(std::fabs(c.minValue), std::fabs(c.maxValue));
    int width = 1;
    if (largest < 9.2e18) width = std::snprintf(buffer, sizeof buffer, "%llX", std::llround(largest));
    const unsigned long long magnitude =
        value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    std::snprintf(buffer, sizeof buffer, "%s%0*llX", value < 0 ? "-" : "", std::clamp(width, 1, 16), magnitude);
    return buffer;
}

UserResult UserText(int panel, int control, const std::string &text) {
    const Control *c = FindControl(panel, control);
    if (!c || (c->kind != CTRL_NUMERIC && c->kind != CTRL_NUMERIC_INT)) return UserInput(panel, control, text.c_str());
    const std::string_view digits = Trimmed(text);
    double value = 0;
    const bool hex = c->kind == CTRL_NUMERIC_INT && c->format == VAL_HEX_FORMAT;
    if (!(hex ? ReadHex(digits, value) : ReadDecimal(digits, value))) return UserResult::BadValue;
    if (c->kind == CTRL_NUMERIC) return UserInput(panel, control, value);
    if (value != std::floor(value) || value < INT_MIN || value > INT_MAX) return UserResult::BadValue;
    return UserInput(panel, control, static_cast<int>(value));
}

}  // namespace ui::model
