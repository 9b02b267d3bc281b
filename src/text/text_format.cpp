// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/text_format.h"

#include <charconv>
#include <cmath>
#include <string>

namespace heatx {

namespace {
QChar g_decimalMark = QLatin1Char('.');

// Exact decimal expansion of a float widened to double: a float has at most
// 149 binary fraction digits, so 160 decimal places hold it without rounding.
// to_chars always writes a point, whatever the C locale of the process (a
// windows program runs under the user's locale, which may use a comma).
std::string ExactDecimal(double magnitude) {
    char buf[512];
    const auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::fixed, 160);
    return std::string(buf, r.ptr);
}

// Adds one unit in the last place of a string of decimal digits (with an
// optional point), carrying to the left.
void IncrementDigits(std::string& s) {
    for (int i = static_cast<int>(s.size()) - 1; i >= 0; --i) {
        if (s[i] == '.') continue;
        if (s[i] == '9') {
            s[i] = '0';
        } else {
            ++s[i];
            return;
        }
    }
    s.insert(s.begin(), '1');
}
}  // namespace

QString NormalizeDecimal(const QString& typed) {
    if (typed.isEmpty()) return QStringLiteral("0");
    const qsizetype comma = typed.indexOf(QLatin1Char(','));
    if (comma < 0) return typed;
    QString result = typed;
    result[comma] = QLatin1Char('.');
    return result;
}

QString Blanks(uint8_t n) { return QString(n, QLatin1Char(' ')); }

QString PadTo(const QString& s, uint8_t w) {
    if (s.size() >= w) return QString();
    return Blanks(static_cast<uint8_t>(w - s.size()));
}

QString FormatFixed(float x, uint8_t w, uint8_t d, QChar decimalMark) {
    QString number;
    if (std::isnan(x)) {
        number = QStringLiteral("?");
    } else if (std::isinf(x)) {
        number = x < 0 ? QStringLiteral("-\u221E") : QStringLiteral("\u221E");
    } else {
        const double v = static_cast<double>(x);
        std::string exact = ExactDecimal(std::fabs(v));
        const std::size_t point = exact.find('.');
        std::string kept = exact.substr(0, point + 1 + d);
        const std::string rest = exact.substr(point + 1 + d);
        // Halves go away from zero: a first dropped digit of 5 or more rounds
        // the magnitude up, whatever follows it.
        if (!rest.empty() && rest[0] >= '5') IncrementDigits(kept);
        if (d == 0) kept.pop_back();  // the point with no decimals after it
        number = QString::fromLatin1(kept.data(), static_cast<qsizetype>(kept.size()));
        number.replace(QLatin1Char('.'), decimalMark);
        if (v < 0) number.prepend(QLatin1Char('-'));
    }
    if (number.size() < w) return Blanks(static_cast<uint8_t>(w - number.size())) + number;
    return number;
}

QString FormatFixed(float x, uint8_t w, uint8_t d) { return FormatFixed(x, w, d, g_decimalMark); }

QString CenterCell(const QString& s, uint8_t w) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s[begin] == QLatin1Char(' ')) ++begin;
    while (end > begin && s[end - 1] == QLatin1Char(' ')) --end;
    const QString text = s.mid(begin, end - begin);
    if (text.size() >= w) return text + QLatin1Char('|');
    const auto left = static_cast<uint8_t>((w - text.size()) / 2);
    const auto right = static_cast<uint8_t>(w - left - text.size());
    return Blanks(left) + text + Blanks(right) + QLatin1Char('|');
}

QString ComposeLine(const QString& caption, uint8_t width, const QString& valueText) {
    return caption + PadTo(caption, width) + valueText;
}

QString WholeNumber(float x) {
    if (!std::isfinite(x)) return FormatFixed(x, 0, 0, g_decimalMark);
    // nearbyint under the default rounding mode rounds halves to even.
    const double r = std::nearbyint(static_cast<double>(x));
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, r == 0.0 ? 0.0 : r, std::chars_format::fixed, 0);
    return QString::fromLatin1(buf, end.ptr - buf);
}

QString ProperCase(const QString& s) {
    QString out = s;
    bool wordStart = true;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const QChar c = out[i];
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n')) {
            wordStart = true;
            continue;
        }
        out[i] = wordStart ? c.toUpper() : c.toLower();
        wordStart = false;
    }
    return out;
}

QChar DecimalMark() { return g_decimalMark; }
void SetDecimalMark(QChar mark) { g_decimalMark = mark; }

}  // namespace heatx
