// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation state shared by every window and routine of the program.
//
// One instance lives for the whole run (tests make their own). Windows hand
// data to one another only through it: a typed text becomes a value text and
// a 4-byte value here, a check names the first bad line here, a model writes
// its result cells here, and the windows and reports read them.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <string_view>

namespace heatx {

// Flags are signed 16-bit: -1 set, 0 clear.
using Flag = int16_t;
inline constexpr Flag kSet = -1;
inline constexpr Flag kClear = 0;

struct CalcState {
    // Captions of the sheet lines, filled when a sheet is prepared.
    std::array<QString, 17> HeaterCaptions;
    std::array<QString, 15> EvapCaptions;
    std::array<QString, 18> CoolerCaptions;
    // Value of each line as typed, after NormalizeDecimal: the master copy.
    std::array<QString, 16> HeaterValueTexts;
    std::array<QString, 16> EvapValueTexts;  // 15: tube height
    std::array<QString, 18> CoolerValueTexts;
    // Numeric reading of the value text of the type in work.
    std::array<float, 18> InputValues{};

    int LineIndex = 0;
    QString StudentLine;
    uint8_t BadLineIndex = 0;
    Flag CalcError = kClear;
    Flag HeaterHorizontal = kClear;
    Flag PrintHeadPending = kClear;
    Flag PrintTableHeaderPending = kClear;
    Flag PrintStarted = kClear;
    Flag OrientationPending = kClear;

    // Result cells: W/(m2*K), m2, dimensionless.
    float AlphaTube = 0;
    float AlphaShell = 0;
    float HeatTransferK = 0;
    float SurfaceF = 0;
    float ReTube = 0;
    float ReShell = 0;

    // Working cells of the models.
    float ModelWork1 = 0, ModelWork2 = 0, ModelWork3 = 0;
    float MessageAnswer = 0;
    float ModelWork4 = 0, ModelWork5 = 0, ModelWork6 = 0, ModelWork7 = 0, ModelWork8 = 0,
          ModelWork9 = 0, ModelWork10 = 0, ModelWork11 = 0, ModelWork12 = 0, ModelWork13 = 0,
          ModelWork14 = 0, ModelWork15 = 0, ModelWork16 = 0, ModelWork17 = 0;

    // Resets the print flags for a newly prepared sheet: the first print
    // starts with the head (and, for the evaporator, the table header).
    void ResetPrintFlags() {
        PrintStarted = kClear;
        PrintHeadPending = kSet;
        PrintTableHeaderPending = kSet;
    }
};

// Numeric reading of a value text: leading blanks skipped, then the longest
// leading decimal number (optional sign, digits, at most one point, optional
// exponent) read in double precision and stored as a 4-byte float; 0 when the
// text does not begin with a number. A comma is not a decimal mark here, and
// "nan", "inf" and "0x10" are not numbers. A value beyond the float range
// reads as +-infinity, so that it fails any range check.
float ReadNumber(const QString& text);

// The value a typed answer stores, read straight from its UTF-8 bytes: the
// same number as ReadNumber(NormalizeDecimal(typed)), without building texts.
float ReadTypedNumber(std::string_view typed);

// Stores a typed answer as a line: text = NormalizeDecimal(typed), value =
// ReadNumber(text).
void StoreTypedLine(QString& valueText, float& value, const QString& typed);
// The same, taking over the typed text.
void StoreTypedLine(QString& valueText, float& value, QString&& typed);

}  // namespace heatx
