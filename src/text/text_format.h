// SPDX-License-Identifier: GPL-3.0-or-later
// Number entry and fixed-width text helpers.
//
// Every list, label block and report line of the program is laid out for a
// fixed-pitch font by counting characters, so these helpers pad with blanks
// to exact widths. Widths and counts are unsigned 8-bit numbers (0..255).
#pragma once

#include <QChar>
#include <QString>
#include <cstdint>

namespace heatx {

// Canonical number text of a typed answer: the empty text becomes "0" and the
// first comma becomes a point (students type either decimal mark); every other
// character, blanks included, stays as typed.
QString NormalizeDecimal(const QString& typed);

// n blanks.
QString Blanks(uint8_t n);

// The blanks that pad s to w characters (not s itself). A text that is already
// w characters or longer gets no blanks.
QString PadTo(const QString& s, uint8_t w);

// x with d decimals, halves rounded away from zero on the exact binary value
// of the 4-byte float, right-justified in w characters; a longer number comes
// back whole, without blanks. decimalMark is the mark of the user's regional
// settings (a comma under Russian settings).
QString FormatFixed(float x, uint8_t w, uint8_t d, QChar decimalMark);
// The same with the decimal mark of the process's locale (DecimalMark()).
QString FormatFixed(float x, uint8_t w, uint8_t d);

// s without outer blanks, centred in w characters (an odd surplus blank goes
// to the right), followed by "|". A text longer than w is given trimmed, with
// no blanks, followed by "|".
QString CenterCell(const QString& s, uint8_t w);

// Display line of a sheet: caption, the blanks that pad it to width, value text.
QString ComposeLine(const QString& caption, uint8_t width, const QString& valueText);

// Whole-number text of a count (passes, tubes): rounded to the nearest integer,
// halves to the even integer, written without blanks.
QString WholeNumber(float x);

// Proper case of the surname entry: in every word (a run of characters between
// blanks, tabs or line breaks) the first character upper case, all the others
// lower case.
QString ProperCase(const QString& s);

// The decimal mark printed numbers use. Set once at start from the regional
// settings (SetDecimalMark); a point until then.
QChar DecimalMark();
void SetDecimalMark(QChar mark);

}  // namespace heatx
