// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pdf_text_map.h"

#include <QByteArrayView>
#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace heatx {

namespace {

struct Cut {
    qsizetype from = 0, to = 0;  // the bytes replaced
    QByteArray with;
};

// Skips blanks; false at the end.
bool SkipBlanks(const QByteArray& s, qsizetype& i, qsizetype end) {
    while (i < end && (s[i] == ' ' || s[i] == '\n' || s[i] == '\r' || s[i] == '\t')) ++i;
    return i < end;
}

// A <hex> string at s[i] as UTF-16 units (four digits each); false when not one.
bool Hex(const QByteArray& s, qsizetype& i, qsizetype end, std::vector<char16_t>& units) {
    units.clear();
    if (!SkipBlanks(s, i, end) || s[i] != '<') return false;
    const qsizetype close = s.indexOf('>', i);
    if (close < 0 || close > end) return false;
    const QByteArray digits = s.mid(i + 1, close - i - 1);
    if (digits.isEmpty() || digits.size() % 4 != 0) return false;
    for (qsizetype k = 0; k < digits.size(); k += 4) {
        bool ok = false;
        units.push_back(char16_t(digits.mid(k, 4).toUInt(&ok, 16)));
        if (!ok) return false;
    }
    i = close + 1;
    return true;
}

// The code -> text map of a CMap's bfchar and bfrange sections; false when a
// section does not parse.
bool ReadMap(const QByteArray& cmap, std::map<unsigned, std::vector<char16_t>>& map, qsizetype& first,
             qsizetype& last) {
    first = -1;
    for (qsizetype at = 0;;) {
        const qsizetype range = cmap.indexOf("beginbfrange", at), single = cmap.indexOf("beginbfchar", at);
        if (range < 0 && single < 0) break;
        const bool isRange = range >= 0 && (single < 0 || range < single);
        const qsizetype begin = isRange ? range : single;
        const QByteArray endWord = isRange ? "endbfrange" : "endbfchar";
        const qsizetype end = cmap.indexOf(endWord, begin);
        if (end < 0) return false;
        // the count before the keyword starts the section
        qsizetype start = begin;
        while (start > 0 && cmap[start - 1] == ' ') --start;
        while (start > 0 && cmap[start - 1] >= '0' && cmap[start - 1] <= '9') --start;
        if (first < 0) first = start;
        last = end + endWord.size();
        qsizetype i = begin + (isRange ? 12 : 11);
        std::vector<char16_t> lo, hi, dst;
        while (SkipBlanks(cmap, i, end)) {
            if (!Hex(cmap, i, end, lo) || lo.size() != 1) return false;
            if (!isRange) {
                if (!Hex(cmap, i, end, dst)) return false;
                map[lo[0]] = dst;
                continue;
            }
            if (!Hex(cmap, i, end, hi) || hi.size() != 1 || hi[0] < lo[0] || !SkipBlanks(cmap, i, end)) return false;
            if (cmap[i] == '[') {
                ++i;
                for (unsigned code = lo[0]; code <= hi[0]; ++code) {
                    if (!Hex(cmap, i, end, dst)) return false;
                    map[code] = dst;
                }
                if (!SkipBlanks(cmap, i, end) || cmap[i] != ']') return false;
                ++i;
            } else {
                if (!Hex(cmap, i, end, dst)) return false;
                for (unsigned code = lo[0]; code <= hi[0]; ++code) {
                    map[code] = dst;
                    ++dst.back();
                }
            }
        }
        at = last;
    }
    return first >= 0;
}

// The CMap with its sections as single-code entries; empty when it does not parse.
QByteArray PlainCmap(const QByteArray& cmap) {
    std::map<unsigned, std::vector<char16_t>> map;
    qsizetype first = 0, last = 0;
    if (!ReadMap(cmap, map, first, last)) return {};
    QByteArray out = cmap.left(first);
    std::vector<std::pair<unsigned, std::vector<char16_t>>> entries(map.begin(), map.end());
    for (std::size_t k = 0; k < entries.size(); k += 100) {
        const std::size_t n = std::min<std::size_t>(100, entries.size() - k);
        out += QByteArray::number(qulonglong(n)) + " beginbfchar\n";
        for (std::size_t j = k; j < k + n; ++j) {
            out += '<' + QByteArray::number(entries[j].first, 16).toUpper().rightJustified(4, '0') + "> <";
            for (char16_t u : entries[j].second) {
                if (u == 0x0009) u = 0x0020;  // the blank glyph is the space
                out += QByteArray::number(unsigned(u), 16).toUpper().rightJustified(4, '0');
            }
            out += ">\n";
        }
        out += "endbfchar";
        if (k + n < entries.size()) out += '\n';
    }
    out += cmap.mid(last);
    return out;
}

// Offsets of the objects in the cross-reference table at `xref`: object
// number -> (offset of the entry's digits, object offset).
bool ReadXref(const QByteArray& pdf, qsizetype xref, std::vector<qsizetype>& entries, std::vector<qsizetype>& offsets) {
    static const QRegularExpression head(QStringLiteral("^xref\\n0 ([0-9]+)\\s*\\n"));
    const QRegularExpressionMatch m = head.match(QString::fromLatin1(pdf.mid(xref, 40)));
    if (!m.hasMatch()) return false;
    const qsizetype count = m.captured(1).toLongLong();
    qsizetype at = xref + m.capturedLength(0);
    if (count <= 0 || at + count * 20 > pdf.size()) return false;
    for (qsizetype k = 0; k < count; ++k, at += 20) {
        bool ok = false;
        const qsizetype offset = pdf.mid(at, 10).toLongLong(&ok);
        if (!ok) return false;
        entries.push_back(at);
        offsets.push_back(offset);
    }
    return true;
}

}  // namespace

QByteArray PlainTextMaps(const QByteArray& pdf) {
    const qsizetype startxref = pdf.lastIndexOf("startxref\n");
    if (startxref < 0) return pdf;
    bool ok = false;
    const qsizetype numberAt = startxref + 10;
    qsizetype numberEnd = numberAt;
    while (numberEnd < pdf.size() && pdf[numberEnd] >= '0' && pdf[numberEnd] <= '9') ++numberEnd;
    const qsizetype xref = pdf.mid(numberAt, numberEnd - numberAt).toLongLong(&ok);
    if (!ok || xref <= 0 || xref >= startxref) return pdf;
    std::vector<qsizetype> entries, offsets;
    if (!ReadXref(pdf, xref, entries, offsets)) return pdf;

    std::set<qsizetype> maps;
    static const QRegularExpression ref(QStringLiteral("/ToUnicode ([0-9]+) 0 R"));
    for (auto it = ref.globalMatch(QString::fromLatin1(pdf)); it.hasNext();) maps.insert(it.next().captured(1).toLongLong());
    std::vector<Cut> cuts;
    static const QRegularExpression dict(QStringLiteral("^([0-9]+) 0 obj\\n<< /Length ([0-9]+) >>\\nstream\\n"));
    for (const qsizetype object : maps) {
        if (object <= 0 || object >= qsizetype(offsets.size())) return pdf;
        const qsizetype at = offsets[std::size_t(object)];
        const QRegularExpressionMatch m = dict.match(QString::fromLatin1(pdf.mid(at, 64)));
        if (!m.hasMatch() || m.captured(1).toLongLong() != object) return pdf;
        const qsizetype length = m.captured(2).toLongLong();
        const qsizetype body = at + m.capturedLength(0);
        const QByteArrayView tail = "\nendstream\nendobj\n";
        if (body + length + tail.size() > pdf.size() || QByteArrayView(pdf).sliced(body + length, tail.size()) != tail)
            return pdf;
        const QByteArray plain = PlainCmap(pdf.mid(body, length));
        if (plain.isEmpty()) return pdf;
        cuts.push_back({at, body + length + tail.size(),
                        QByteArray::number(object) + " 0 obj\n<< /Length " + QByteArray::number(plain.size()) +
                            " >>\nstream\n" + plain + tail.toByteArray()});
    }
    if (cuts.empty()) return pdf;
    std::sort(cuts.begin(), cuts.end(), [](const Cut& a, const Cut& b) { return a.from < b.from; });
    const auto moved = [&cuts](qsizetype offset) {
        qsizetype shift = 0;
        for (const Cut& c : cuts)
            if (c.from < offset) shift += c.with.size() - (c.to - c.from);
        return offset + shift;
    };
    QByteArray out;
    out.reserve(pdf.size() + 4096);
    qsizetype at = 0;
    for (const Cut& c : cuts) {
        if (c.from < at || c.to > xref) return pdf;
        out += QByteArrayView(pdf).sliced(at, c.from - at);
        out += c.with;
        at = c.to;
    }
    out += QByteArrayView(pdf).sliced(at, numberAt - at);
    out += QByteArray::number(moved(xref));
    out += QByteArrayView(pdf).sliced(numberEnd);
    // The table's entries: in-use objects move with the bytes before them.
    const qsizetype tableShift = moved(xref) - xref;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const qsizetype entry = entries[k] + tableShift;
        if (out[entry + 17] != 'n') continue;
        out.replace(entry, 10, QByteArray::number(moved(offsets[k])).rightJustified(10, '0'));
    }
    return out;
}

}  // namespace heatx
