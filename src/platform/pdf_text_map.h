// SPDX-License-Identifier: GPL-3.0-or-later
// The text map of our PDFs (the ToUnicode CMap of each font) in the form every
// PDF program carries over when it re-writes a file: one code per entry
// (bfchar), no ranges of arrays, and the space glyph mapped to U+0020 (the
// font's one blank glyph serves the tab as well, and the map painted by the
// toolkit names the tab). Text copied from the PDF or extracted from a
// re-written copy then reads as the report.
#pragma once

#include <QByteArray>

namespace heatx {

// The PDF with its text maps so re-written; every other byte stays as it was
// but for the offsets of the cross-reference table. A PDF not in the shape
// the toolkit writes comes back unchanged.
QByteArray PlainTextMaps(const QByteArray& pdf);

}  // namespace heatx
