// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/calc_state.h"

#include "state/float_store.h"
#include "text/text_format.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace heatx {

namespace {
bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

bool IsLeadingBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

// strtod of the C locale, whatever locale the process runs under: the
// number text always uses a point.
double CLocaleStrtod(const std::string& s) {
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(s.c_str(), nullptr, cLocale);
}
}  // namespace

float ReadNumber(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && IsLeadingBlank(text[i])) ++i;

    // The extent of the leading number: sign, digits, point, digits, exponent.
    const qsizetype begin = i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) ++i;
    qsizetype mantissaDigits = 0;
    for (; i < n && IsDigit(text[i]); ++i) ++mantissaDigits;
    if (i < n && text[i] == QLatin1Char('.'))
        for (++i; i < n && IsDigit(text[i]); ++i) ++mantissaDigits;
    if (mantissaDigits == 0) return 0.0f;
    // An exponent counts only when at least one digit follows its letter and
    // optional sign; otherwise the number ends before the letter.
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) ++j;
        if (j < n && IsDigit(text[j])) {
            while (j < n && IsDigit(text[j])) ++j;
            i = j;
        }
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
    for (qsizetype k = 0; k < length; ++k) digits[k] = static_cast<char>(text[begin + k].unicode());
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
