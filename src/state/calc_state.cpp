// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/calc_state.h"

#include "state/float_store.h"
#include "text/text_format.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace heatx {

namespace {
// strtod of the C locale, whatever locale the process runs under: the
// number text always uses a point.
double CLocaleStrtod(const std::string& s) {
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(s.c_str(), nullptr, cLocale);
}
}  // namespace

namespace {
// The reading itself, over UTF-16 code units or UTF-8 bytes alike: every
// character of a number is ASCII, and no unit of a non-ASCII character (a
// UTF-16 unit above 127, a UTF-8 byte with its high bit set) is a digit, a
// sign, a point or an exponent letter, so both give the same number.
// firstCommaIsPoint reads the first comma of the text as a point, as
// NormalizeDecimal would have written it: the scan meets that comma before
// any other, since any other character but a blank ends it.
template <typename Unit>
float ReadNumberOf(const Unit* text, qsizetype n, bool firstCommaIsPoint) {
    const auto unit = [text](qsizetype k) { return static_cast<char32_t>(text[k]); };
    const auto isDigit = [&](qsizetype k) { return unit(k) >= U'0' && unit(k) <= U'9'; };
    const auto isPoint = [&](qsizetype k) { return unit(k) == U'.' || (firstCommaIsPoint && unit(k) == U','); };
    qsizetype i = 0;
    while (i < n && (unit(i) == U' ' || unit(i) == U'\t' || unit(i) == U'\n' || unit(i) == U'\r')) ++i;

    // The extent of the leading number: sign, digits, point, digits, exponent.
    // The digits are gathered on the way for the exact short path below.
    const qsizetype begin = i;
    bool negative = false;
    if (i < n && (unit(i) == U'+' || unit(i) == U'-')) negative = unit(i++) == U'-';
    qsizetype mantissaDigits = 0;
    std::uint64_t mantissa = 0;
    int scale = 0;  // the number is mantissa * 10^scale while no digit is lost
    bool exact = true;
    const auto take = [&](qsizetype k) {
        if (mantissa < 100000000000000000ull) mantissa = mantissa * 10 + (unit(k) - U'0');
        else exact = false;
    };
    for (; i < n && isDigit(i); ++i, ++mantissaDigits) take(i);
    if (i < n && isPoint(i))
        for (++i; i < n && isDigit(i); ++i, ++mantissaDigits) {
            take(i);
            --scale;
        }
    if (mantissaDigits == 0) return 0.0f;
    // An exponent counts only when at least one digit follows its letter and
    // optional sign; otherwise the number ends before the letter.
    if (i < n && (unit(i) == U'e' || unit(i) == U'E')) {
        qsizetype j = i + 1;
        if (j < n && (unit(j) == U'+' || unit(j) == U'-')) ++j;
        if (j < n && isDigit(j)) {
            while (j < n && isDigit(j)) ++j;
            i = j;
            exact = false;
        }
    }

    // Short path: a mantissa below 2^53 and a power of ten up to 10^22 are
    // both exact doubles, so one multiplication or division rounds once,
    // correctly: the same double from_chars gives.
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (exact && mantissa < (1ull << 53) && scale >= -22) {
        double value = static_cast<double>(mantissa);
        if (scale < 0) value /= kPowers[-scale];
        return Store(negative ? -value : value);
    }

    // Every character of the number is ASCII; short numbers (all that a
    // student types) stay on the stack.
    std::string number;
    char small[64];
    const qsizetype length = i - begin;
    char* digits = small;
    if (length > static_cast<qsizetype>(sizeof small)) {
        number.resize(static_cast<std::size_t>(length));
        digits = number.data();
    }
    for (qsizetype k = 0; k < length; ++k) {
        const char c = static_cast<char>(unit(begin + k));
        digits[k] = c == ',' ? '.' : c;
    }
    const char* first = digits;
    const char* last = digits + length;
    if (*first == '+') ++first;  // from_chars takes no plus sign

    // from_chars is exact and ignores the locale; beyond the double range it
    // reports no value, and strtod then gives +-HUGE_VAL on overflow or 0 (or
    // a subnormal) on underflow. The store gives +-infinity or the nearest float.
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) value = CLocaleStrtod(std::string(first, last));
    return Store(value);
}
}  // namespace

float ReadNumber(const QString& text) {
    return ReadNumberOf(reinterpret_cast<const char16_t*>(text.utf16()), text.size(), false);
}

float ReadTypedNumber(std::string_view typed) {
    return ReadNumberOf(reinterpret_cast<const unsigned char*>(typed.data()), qsizetype(typed.size()), true);
}

void StoreTypedLine(QString& valueText, float& value, const QString& typed) {
    valueText = NormalizeDecimal(typed);
    value = ReadNumber(valueText);
}

void StoreTypedLine(QString& valueText, float& value, QString&& typed) {
    valueText = std::move(typed);
    if (valueText.isEmpty()) {
        valueText = QStringLiteral("0");
    } else {
        const qsizetype comma = valueText.indexOf(QLatin1Char(','));
        if (comma >= 0) valueText[comma] = QLatin1Char('.');
    }
    value = ReadNumber(valueText);
}

}  // namespace heatx
