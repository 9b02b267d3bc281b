#include "state/calc_state.h"

#include "state/float_store.h"
#include "text/text_format.h"

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

    std::string number;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        number += static_cast<char>(text[i].unicode());
        ++i;
    }
    qsizetype mantissaDigits = 0;
    while (i < n && IsDigit(text[i])) {
        number += static_cast<char>(text[i].unicode());
        ++i;
        ++mantissaDigits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        number += '.';
        ++i;
        while (i < n && IsDigit(text[i])) {
            number += static_cast<char>(text[i].unicode());
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) return 0.0f;

    // An exponent counts only when at least one digit follows its letter and
    // optional sign; otherwise the number ends before the letter.
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-'))) {
            exponent += static_cast<char>(text[j].unicode());
            ++j;
        }
        if (j < n && IsDigit(text[j])) {
            while (j < n && IsDigit(text[j])) {
                exponent += static_cast<char>(text[j].unicode());
                ++j;
            }
            number += exponent;
        }
    }
    // strtod gives +-HUGE_VAL on overflow and 0 or a subnormal on underflow;
    // the narrowing to float then gives +-infinity or the nearest float.
    return Store(CLocaleStrtod(number));
}

void StoreTypedLine(QString& valueText, float& value, const QString& typed) {
    valueText = NormalizeDecimal(typed);
    value = ReadNumber(valueText);
}

}  // namespace heatx
