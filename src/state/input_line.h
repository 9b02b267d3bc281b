// SPDX-License-Identifier: GPL-3.0-or-later
// One line of an input sheet as data: caption and allowed range.
//
// The number type of a bound decides the result exactly at the bound: a typed
// 0.04 is a 4-byte value just below the 8-byte 0.04, so it fails a lower bound
// held as a double but passes one held as a float. Every bound therefore
// carries its type.
#pragma once

#include <QString>
#include <array>
#include <cmath>
#include <cstdint>

namespace heatx {

enum class BoundType : uint8_t {
    Double,   // 8-byte float: the value is widened to double for the test
    Float,    // 4-byte float: two floats are compared
    Integer,  // 16- or 32-bit integer: exact either way
};

struct Bound {
    double value;
    BoundType type;
};

inline constexpr Bound DoubleBound(double v) { return {v, BoundType::Double}; }
inline constexpr Bound FloatBound(double v) { return {v, BoundType::Float}; }
inline constexpr Bound IntBound(long v) { return {static_cast<double>(v), BoundType::Integer}; }

inline bool BelowBound(float value, Bound b) {
    if (b.type == BoundType::Float) return value < static_cast<float>(b.value);
    return static_cast<double>(value) < b.value;
}

inline bool AboveBound(float value, Bound b) {
    if (b.type == BoundType::Float) return value > static_cast<float>(b.value);
    return static_cast<double>(value) > b.value;
}

// Inside [lower, upper], both ends included. A value that is not a number
// never passes.
inline bool InRange(float value, Bound lower, Bound upper) {
    if (std::isnan(value)) return false;
    return !BelowBound(value, lower) && !AboveBound(value, upper);
}

struct InputLine {
    const char16_t* caption;
    Bound lower;
    Bound upper;
    // Lines that must also be strictly above 0 (checked in a second pass).
    bool positive;
};

inline QString Caption(const InputLine& line) { return QString::fromUtf16(line.caption); }

// The captions of a table as texts, converted once and shared after that, so
// that preparing a sheet does not convert them again.
template <int N>
const std::array<QString, N>& Captions(const InputLine (&lines)[N]) {
    static const std::array<QString, N> texts = [&lines] {
        std::array<QString, N> t;
        for (int i = 0; i < N; ++i) t[i] = Caption(lines[i]);
        return t;
    }();
    return texts;
}

// First failing line of a sheet, or 0; sets state.CalcError (-1 failed, 0
// passed). The first pass tests every line against its bounds (the lines that
// must be above 0 against a lower bound of 0 when positivesInFirstPass, else
// not at all); only when it finds nothing does a second pass test, in order,
// that those lines are above 0 and not above their upper bound.
struct CalcState;
uint8_t CheckSheet(CalcState& state, const InputLine* lines, int count, bool positivesInFirstPass);

// The range a check lets pass, as the student reads it, with the decimal mark
// printed numbers use: "ОТ 0,019 ДО 0,06". It tells the truth at the bounds:
// where the bound itself typed is refused (a typed 0.04 is a 4-byte value
// below the 8-byte bound 0.04; a line that must be above 0) the lower end
// reads "БОЛЬШЕ 0,04 И НЕ БОЛЬШЕ 1", and an upper end typed that is refused
// reads "МЕНЬШЕ".
QString AllowedRange(Bound lower, Bound upper, bool positive);
inline QString AllowedRange(const InputLine& line) { return AllowedRange(line.lower, line.upper, line.positive); }

// The line of a refusal: what the line is, what was typed and what is
// allowed, e.g. "НАРУЖНЫЙ ДИАМЕТР ТРУБ: ВВЕДЕНО «0,1»; ДОПУСТИМО ОТ 0,019 ДО
// 0,06 М". The unit of the caption (after its last ", ") follows the range;
// the typed text is shown up to 40 characters, unprintable ones as "?".
QString RefusalLine(const QString& caption, const QString& typed, const QString& range);
// The same without the typed text: "НАРУЖНЫЙ ДИАМЕТР ТРУБ: ДОПУСТИМО ОТ 0,019
// ДО 0,06 М".
QString RangeLine(const QString& caption, const QString& range);

}  // namespace heatx
