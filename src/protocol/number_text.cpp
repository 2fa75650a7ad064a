#include "protocol/number_text.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace qelto {

std::string FormatFixed(double value, int decimals) {
    decimals = std::clamp(decimals, 0, 17);
    if (std::isfinite(value)) {
        // The standard conversion rounds a tie to even ("1000" for 1000.5). A tie is only one
        // when the scaled value is exactly halfway, not merely rounded there by the scaling,
        // which the fused multiply-add tells.
        const double scale = std::pow(10.0, decimals);
        const double scaled = value * scale;
        double whole = 0.0;
        if (std::abs(scaled) < 0x1p52 && std::abs(std::modf(scaled, &whole)) == 0.5 &&
            std::fma(value, scale, -scaled) == 0.0) {
            value = (whole + std::copysign(1.0, value)) / scale;
        }
    }
    char text[400];  // the largest double has 309 digits before the point
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    return std::string(text, end);
}

std::int32_t ParseLeadingInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<long long>(value * 10 + (text[i] - '0'), 2147483648LL);
    }
    if (negative) value = -value;
    return static_cast<std::int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

}  // namespace qelto
