// SPDX-License-Identifier: GPL-3.0-or-later
// Any typed text through NormalizeDecimal and the numeric reading, checked
// against a second, plainly written reading and against the formatting.
#include "state/calc_state.h"
#include "text/text_format.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

namespace {

// The leading decimal number by a regular expression, read with strtod in
// the C locale: an independent statement of the same rule.
float ReferenceReading(const QString& text) {
    static const std::regex number(R"(^[ \t\r\n]*([+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?))");
    // Only ASCII can be part of a number; anything else ends it, so map it
    // to a character that ends it too.
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) ascii += c.unicode() < 128 && c.unicode() != 0 ? static_cast<char>(c.unicode()) : '#';
    std::smatch m;
    if (!std::regex_search(ascii, m, number)) return 0.0f;
    const double v = std::strtod(m[1].str().c_str(), nullptr);
    if (std::fabs(v) >= 3.4028235677973366e38) return v > 0 ? INFINITY : -INFINITY;
    return static_cast<float>(v);
}

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;  // the regular expression is slow on long texts
    const QString typed = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = heatx::NormalizeDecimal(typed);
    Check(!text.isEmpty());
    Check(text.size() == (typed.isEmpty() ? 1 : typed.size()));

    const float value = heatx::ReadNumber(text);
    Check(!std::isnan(value));
    const float reference = ReferenceReading(text);
    Check(value == reference || (value == 0 && reference == 0));

    QString moved;
    float movedValue = 0;
    heatx::StoreTypedLine(moved, movedValue, QString(typed));
    Check(moved == text);
    Check(movedValue == value || (movedValue == 0 && value == 0));

    for (uint8_t decimals : {0, 2, 5}) {
        const QString formatted = heatx::FormatFixed(value, 9, decimals, QLatin1Char(','));
        Check(formatted.size() >= 9 || !std::isfinite(value));
        if (std::isfinite(value) && std::fabs(value) < 1e30f) {
            QString back = formatted.trimmed();
            back.replace(QLatin1Char(','), QLatin1Char('.'));
            const double read = back.toDouble();
            Check(std::fabs(read - value) <= 0.5 * std::pow(10.0, -decimals) * (1 + 1e-9) + std::fabs(value) * 1e-15);
        }
    }
    const QString cell = heatx::CenterCell(text, 13);
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == QLatin1Char(' ')) ++first;
    while (last > first && text[last - 1] == QLatin1Char(' ')) --last;
    Check(cell.endsWith(QLatin1Char('|')));
    Check(cell.size() == std::max<qsizetype>(14, last - first + 1));
    return 0;
}
