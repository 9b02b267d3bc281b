// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/report_check.h"

#include "cooler/cooler_input.h"
#include "cooler/cooler_model.h"
#include "cooler/cooler_report.h"
#include "evaporator/evap_input.h"
#include "evaporator/evap_model.h"
#include "evaporator/evap_report.h"
#include "heater/heater_input.h"
#include "heater/heater_model.h"
#include "heater/heater_report.h"
#include "text/text_format.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTime>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace heatx::batch {

namespace {

// A line of a report is never longer than this; a longer one means the file
// is something else.
constexpr qsizetype kMaxLineBytes = 64 * 1024;
// Lines read without finding any report head before the file is given up.
constexpr int kLinesBeforeGivingUp = 1000;
// Mismatches after which the rest of a file cannot change its verdict and is
// not read.
constexpr int kMismatchesBeforeGivingUp = 10000;

// Runs of blanks (and tabs, form feeds, no-break spaces) become one blank and
// the ends are trimmed: the text copy keeps the exact columns, the text of a
// PDF only roughly, and the check compares words and numbers, not columns.
QString Normalize(QStringView line) {
    QString out;
    out.reserve(line.size());
    bool blank = false;
    for (const QChar c : line) {
        if (c.isSpace() || c == QChar(0)) {
            blank = true;
            continue;
        }
        if (blank && !out.isEmpty()) out += QLatin1Char(' ');
        blank = false;
        out += c;
    }
    return out;
}

QStringList Tokens(const QString& normalizedLine) {
    QStringList tokens;
    QString current;
    for (const QChar c : normalizedLine) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('|')) {
            if (!current.isEmpty()) tokens.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.isEmpty()) tokens.append(current);
    return tokens;
}

// The decimal marks of the locales a report may be printed under: point,
// comma and the Arabic decimal separator.
bool IsDecimalMark(QChar c) { return c == QLatin1Char('.') || c == QLatin1Char(',') || c == QChar(0x066B); }

// A number as the reports print it: optional minus, digits, optionally a
// decimal mark and digits.
bool IsPrintedNumber(const QString& t) {
    static const QRegularExpression re(QStringLiteral("^-?[0-9]+([.,\\x{066B}][0-9]+)?$"));
    return re.match(t).hasMatch();
}

int Decimals(const QString& t) {
    for (qsizetype i = 0; i < t.size(); ++i)
        if (IsDecimalMark(t[i])) return static_cast<int>(t.size() - i - 1);
    return 0;
}

// The number text as the core reads a typed answer: with a point.
QString WithPoint(QString t) {
    for (QChar& c : t)
        if (IsDecimalMark(c)) c = QLatin1Char('.');
    return t;
}

// Two printed numbers with the same count of decimals that differ by at most
// one unit of the last digit.
bool WithinLastDigit(const QString& a, const QString& b) {
    if (!IsPrintedNumber(a) || !IsPrintedNumber(b) || Decimals(a) != Decimals(b)) return false;
    QString da = WithPoint(a), db = WithPoint(b);
    da.remove(QLatin1Char('.'));
    db.remove(QLatin1Char('.'));
    if (da.size() > 18 || db.size() > 18) return da == db;
    bool okA = false, okB = false;
    const qint64 ia = da.toLongLong(&okA);
    const qint64 ib = db.toLongLong(&okB);
    return okA && okB && std::llabs(ia - ib) <= 1;
}

struct TypeInfo {
    Apparatus type;
    QString title;        // normalized title of the head
    int sheetLines;
    QString blockMarker;  // first words of a block (heater, cooler)
    QStringList captions;  // normalized sheet captions
    QStringList resultNames;  // the cells of the values line, in order
};

const QString kTubeAlpha = QStringLiteral("коэффициент теплоотдачи в трубах");
const QString kShellAlpha = QStringLiteral("коэффициент теплоотдачи в межтрубном пространстве");
const QString kTransferK = QStringLiteral("коэффициент теплопередачи");
const QString kSurface = QStringLiteral("поверхность теплообмена");
const QString kTubeRe = QStringLiteral("число Re в трубах");
const QString kShellRe = QStringLiteral("число Re в межтрубном пространстве");

const std::vector<TypeInfo>& Types() {
    static const std::vector<TypeInfo> types = [] {
        CalcState s;
        FillHeaterCaptions(s);
        FillCoolerCaptions(s);
        FillEvapCaptions(s);
        const auto normalized = [](const auto& captions, int n) {
            QStringList out;
            for (int i = 0; i < n; ++i) out.append(Normalize(captions[i]));
            return out;
        };
        return std::vector<TypeInfo>{
            {Apparatus::Heater, QStringLiteral("Расчет подогревателя или дефлегматора"), kHeaterSheetLines,
             QStringLiteral("ТИП ТЕПЛООБМЕННИКА-"), normalized(s.HeaterCaptions, 17),
             {kTubeAlpha, kShellAlpha, kTransferK, kSurface, kTubeRe}},
            {Apparatus::Cooler, QStringLiteral("Расчет холодильника"), kCoolerSheetLines,
             QStringLiteral("НАРУЖНЫЙ ДИАМЕТР ТРУБ"), normalized(s.CoolerCaptions, 18),
             {kTubeAlpha, kShellAlpha, kTransferK, kSurface, kTubeRe, kShellRe}},
            {Apparatus::Evaporator, QStringLiteral("Расчет испарителя"), kEvapSheetLines, QString(),
             normalized(s.EvapCaptions, 15),
             {QStringLiteral("высота труб"), kTubeAlpha, kShellAlpha, kTransferK, kSurface}},
        };
    }();
    return types;
}

// The head's first line: the date line of the program followed by a title.
struct TitleLine {
    const TypeInfo* type = nullptr;
    QString date;
};

std::optional<TitleLine> ReadTitle(const QString& n) {
    static const QRegularExpression re(QStringLiteral(
        "^(\\S+) (января|февраля|марта|апреля|мая|июня|июля|августа|сентября|октября|ноября|декабря) "
        "(\\d{4})г\\. (.+) (Расчет подогревателя или дефлегматора|Расчет холодильника|Расчет испарителя)$"));
    const auto m = re.match(n);
    if (!m.hasMatch()) return std::nullopt;
    TitleLine t;
    for (const TypeInfo& info : Types())
        if (info.title == m.captured(5)) t.type = &info;
    static const QStringList months = {QStringLiteral("января"),  QStringLiteral("февраля"), QStringLiteral("марта"),
                                       QStringLiteral("апреля"),  QStringLiteral("мая"),     QStringLiteral("июня"),
                                       QStringLiteral("июля"),    QStringLiteral("августа"), QStringLiteral("сентября"),
                                       QStringLiteral("октября"), QStringLiteral("ноября"),  QStringLiteral("декабря")};
    bool dayOk = false;
    const int day = m.captured(1).toInt(&dayOk);
    const QDate date(m.captured(3).toInt(), static_cast<int>(months.indexOf(m.captured(2))) + 1, dayOk ? day : 0);
    // The time text of any locale the program runs under.
    QTime time;
    for (const char* format : {"H:mm:ss", "h:mm:ss AP", "h:mm:ss ap", "H.mm.ss", "HH:mm:ss", "h:mm:ss A", "hh:mm:ss AP"}) {
        time = QTime::fromString(m.captured(4), QLatin1String(format));
        if (time.isValid()) break;
    }
    const QString timeText = time.isValid() ? time.toString(QStringLiteral("HH:mm:ss")) : m.captured(4);
    t.date = (date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd"))
                             : m.captured(1) + QLatin1Char(' ') + m.captured(2) + QLatin1Char(' ') + m.captured(3)) +
             QLatin1Char(' ') + timeText;
    return t;
}

// The state after the same checks and model run the windows make for these
// texts (printed construction numbers read with any decimal mark). Cooler constructive values are accepted in the range of either the
// first entry or a later change, as the design window accepts them.
struct Recomputed {
    Status status = Status::Ok;
    int badLine = -1;
    CalcState s;
};

Recomputed Recompute(Apparatus type, const QStringList& sheet, const QStringList& construction, bool horizontal) {
    Recomputed r;
    CalcState& s = r.s;
    const auto reject = [&r](int line) {
        r.status = Status::Input;
        r.badLine = line;
    };
    switch (type) {
    case Apparatus::Heater: {
        for (int i = 0; i < kHeaterSheetLines; ++i) StoreTypedLine(s.HeaterValueTexts[i], s.InputValues[i], sheet[i]);
        for (int i = 0; i < 4; ++i) StoreTypedLine(s.HeaterValueTexts[12 + i], s.InputValues[12 + i], WithPoint(construction[i]));
        s.BadLineIndex = CheckHeaterInput(s);
        if (s.CalcError != kClear) { reject(s.BadLineIndex); return r; }
        s.HeaterHorizontal = horizontal ? kSet : kClear;
        for (int i = 12; i <= 15; ++i)
            if (!HeaterConstructiveInRange(i, s.InputValues[i])) { reject(i); return r; }
        HeaterModel(s);
        break;
    }
    case Apparatus::Cooler: {
        for (int i = 0; i < kCoolerSheetLines; ++i) StoreTypedLine(s.CoolerValueTexts[i], s.InputValues[i], sheet[i]);
        for (int i = 0; i < 5; ++i) StoreTypedLine(s.CoolerValueTexts[13 + i], s.InputValues[13 + i], WithPoint(construction[i]));
        s.BadLineIndex = CheckCoolerInput(s);
        if (s.CalcError != kClear) { reject(s.BadLineIndex); return r; }
        for (int i = kCoolerFirstConstructive; i <= kCoolerLastConstructive; ++i)
            if (!CoolerFirstEntryInRange(i, s.InputValues[i]) && !CoolerChangeInRange(i, s.InputValues[i])) {
                reject(i);
                return r;
            }
        CoolerModel(s);
        break;
    }
    case Apparatus::Evaporator: {
        for (int i = 0; i < kEvapSheetLines; ++i) StoreTypedLine(s.EvapValueTexts[i], s.InputValues[i], sheet[i]);
        StoreTypedLine(s.EvapValueTexts[kEvapHeightLine], s.InputValues[kEvapHeightLine], construction[0]);
        s.BadLineIndex = CheckEvapInput(s);
        if (s.CalcError != kClear) { reject(s.BadLineIndex); return r; }
        if (!EvapHeightInRange(s.InputValues[kEvapHeightLine])) { reject(kEvapHeightLine); return r; }
        EvapModel(s);
        break;
    }
    }
    r.status = s.CalcError != kClear ? Status::Model : Status::Ok;
    return r;
}

// Printed again, with the decimal mark of the report being checked.
class MarkScope {
public:
    explicit MarkScope(QChar mark) : old_(DecimalMark()) { SetDecimalMark(mark); }
    ~MarkScope() { SetDecimalMark(old_); }
    MarkScope(const MarkScope&) = delete;
    MarkScope& operator=(const MarkScope&) = delete;

private:
    QChar old_;
};

QStringList NonEmptyNormalized(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines) {
        const QString n = Normalize(l);
        if (!n.isEmpty()) out.append(n);
    }
    return out;
}

QStringList RenderBlock(Apparatus type, CalcState& s, QChar mark) {
    MarkScope scope(mark);
    RecordingPrinter p;
    const DateLineSource noDate = [] { return QString(); };
    s.PrintHeadPending = kClear;
    s.PrintTableHeaderPending = kClear;
    switch (type) {
    case Apparatus::Heater: PrintHeaterRow(s, p, noDate); break;
    case Apparatus::Cooler: PrintCoolerRow(s, p, noDate); break;
    case Apparatus::Evaporator: PrintEvapRow(s, p, noDate); break;
    }
    return NonEmptyNormalized(p.lines);
}

// The five lines of the evaporator table header and the closing rule.
const QStringList& EvapTableHeader() {
    static const QStringList header = [] {
        CalcState s;
        RecordingPrinter p;
        s.PrintHeadPending = kClear;
        s.PrintTableHeaderPending = kSet;
        PrintEvapRow(s, p, [] { return QString(); });
        QStringList lines = NonEmptyNormalized(p.lines);
        lines.removeLast();  // the row
        return lines;
    }();
    return header;
}

const QString& EvapClosingRule() {
    static const QString rule = [] {
        RecordingPrinter p;
        PrintClosingRule(p, kEvapTableWidth);
        return NonEmptyNormalized(p.lines).value(0);
    }();
    return rule;
}

// Lines of a complete heater or cooler block.
int BlockLineCount(Apparatus type) {
    static const int heater = [] {
        CalcState s;
        return static_cast<int>(RenderBlock(Apparatus::Heater, s, QLatin1Char('.')).size());
    }();
    static const int cooler = [] {
        CalcState s;
        return static_cast<int>(RenderBlock(Apparatus::Cooler, s, QLatin1Char('.')).size());
    }();
    return type == Apparatus::Heater ? heater : cooler;
}

// The line of the values in a heater or cooler block: after the three
// construction lines and five lines of the table head.
constexpr int kValuesLine = 8;

const QString kReynoldsWarning = QStringLiteral("ЧИСЛО RE В ТРУБАХ");

// The decimal mark the report was printed with. Typed value texts (the
// evaporator's height) always hold a point, so any other mark decides.
QChar MarkOf(const QStringList& lines) {
    for (const QString& l : lines)
        for (const QString& t : Tokens(l))
            if (IsPrintedNumber(t))
                for (const QChar c : t)
                    if (IsDecimalMark(c) && c != QLatin1Char('.')) return c;
    return QLatin1Char('.');
}

QStringList Numbers(const QString& line) {
    QStringList out;
    for (const QString& t : Tokens(line))
        if (IsPrintedNumber(t)) out.append(t);
    return out;
}

}  // namespace

QString ApparatusWord(Apparatus type) {
    switch (type) {
    case Apparatus::Heater: return QStringLiteral("подогреватель");
    case Apparatus::Cooler: return QStringLiteral("холодильник");
    case Apparatus::Evaporator: return QStringLiteral("испаритель");
    }
    return {};
}

struct ReportChecker::Impl {
    enum class State { Outside, HeadStart, HeadLines, Body };

    std::function<void(const ReportHead&)> onHead;
    ReportSummary sum;
    State state = State::Outside;
    bool anyHead = false;
    int linesOutside = 0;
    bool gaveUp = false;

    QString pendingLabel;        // a variant name waiting for its head
    bool problemReason = false;  // the next line is the reason of a short page

    // The head in work.
    const TypeInfo* type = nullptr;
    ReportHead head;
    int captionIndex = 0;
    bool headOk = false;
    bool headBadReported = false;
    int headBlocks = 0;

    // The heater or cooler block in work.
    QStringList block;
    // The evaporator table.
    int evapHeaderLines = 0;
    bool evapHeaderDone = false;
    bool evapClosed = false;

    void Differ(int blockNo, const QString& quantity, const QString& printed, const QString& computed) {
        if (++sum.mismatches >= kMismatchesBeforeGivingUp && anyHead) gaveUp = true;
        if (sum.differences.size() < static_cast<std::size_t>(kMaxKeptDifferences))
            sum.differences.push_back({blockNo, quantity, printed, computed});
    }

    void Stray(const QString& n) {
        Differ(sum.blocks, QStringLiteral("посторонняя строка"), n, QStringLiteral("программа такой строки не печатает"));
    }

    void Process(const QString& n) {
        if (const auto title = ReadTitle(n)) {
            CloseHead();
            StartHead(*title);
            return;
        }
        // The lines heatx-batch adds to an answer key: the variant's name
        // before its report, and the short page of a variant without a result.
        static const QRegularExpression variantLine(
            QStringLiteral("^ВАРИАНТ:? (.+?)(?: \\(СТРОКА [0-9]+ ФАЙЛА\\))?$"));
        if (const auto m = variantLine.match(n); m.hasMatch()) {
            if (state != State::Outside) CloseHead();
            pendingLabel = m.captured(1);
            problemReason = false;
            return;
        }
        if (n.startsWith(QStringLiteral("РАСЧЁТ НЕ ВЫПОЛНЕН, СТАТУС "))) {
            if (state != State::Outside) CloseHead();
            pendingLabel.clear();
            problemReason = true;
            return;
        }
        if (problemReason && state == State::Outside) {
            problemReason = false;  // the reason of the short page
            return;
        }
        switch (state) {
        case State::Outside:
            if (++linesOutside > kLinesBeforeGivingUp && !anyHead) gaveUp = true;
            if (anyHead) Stray(n);
            else if (sum.differences.size() < 20) Stray(n);  // kept in case a head follows
            else ++sum.mismatches;
            return;
        case State::HeadStart:
            state = State::HeadLines;
            if (!n.startsWith(type->captions[0])) {
                head.student = n;
                return;
            }
            [[fallthrough]];
        case State::HeadLines: HeadLine(n); return;
        case State::Body: BodyLine(n); return;
        }
    }

    void StartHead(const TitleLine& title) {
        if (!anyHead) {
            // Lines before the first head are only counted once a head exists.
            anyHead = true;
            sum.date = title.date;
        }
        type = title.type;
        head = ReportHead{};
        head.type = type->type;
        head.label = pendingLabel;
        pendingLabel.clear();
        problemReason = false;
        captionIndex = 0;
        headOk = false;
        headBadReported = false;
        headBlocks = 0;
        block.clear();
        evapHeaderLines = 0;
        evapHeaderDone = false;
        evapClosed = false;
        state = State::HeadStart;
        const QString word = ApparatusWord(type->type);
        if (!sum.apparatus.contains(word)) sum.apparatus.append(word);
    }

    void HeadLine(const QString& n) {
        const QString& caption = type->captions[captionIndex];
        if (!n.startsWith(caption)) {
            Differ(sum.blocks + 1, QStringLiteral("строка %1 заголовка").arg(captionIndex),
                   n, caption + QStringLiteral(" …"));
            headOk = false;
            headBadReported = true;
            state = State::Body;
            BodyLine(n);
            return;
        }
        head.texts.append(n.mid(caption.size()).trimmed());
        if (++captionIndex == type->sheetLines) {
            headOk = true;
            state = State::Body;
            if (sum.student.isEmpty() && !head.student.isEmpty()) sum.student = head.student;
            if (onHead) onHead(head);
        }
    }

    void BodyLine(const QString& n) {
        if (type->type == Apparatus::Evaporator) {
            EvapLine(n);
            return;
        }
        if (n.startsWith(type->blockMarker)) {
            if (!block.isEmpty()) FinishBlock();
            block.append(n);
            return;
        }
        if (block.isEmpty()) {
            Stray(n);
            return;
        }
        block.append(n);
        if (type->type == Apparatus::Heater && block.size() == 4 && n.startsWith(kReynoldsWarning)) FinishBlock();
        else if (block.size() == BlockLineCount(type->type)) FinishBlock();
    }

    void EvapLine(const QString& n) {
        const QStringList& header = EvapTableHeader();
        if (!evapHeaderDone) {
            if (evapHeaderLines < header.size() && n == header[evapHeaderLines]) {
                if (++evapHeaderLines == header.size()) evapHeaderDone = true;
                return;
            }
            Differ(sum.blocks + 1, QStringLiteral("шапка таблицы"), n, header[evapHeaderLines]);
            evapHeaderDone = true;  // the rows are checked all the same
        }
        if (n == EvapClosingRule()) {
            evapClosed = true;
            return;
        }
        if (n.startsWith(QLatin1Char('|'))) {
            if (evapClosed)
                Differ(sum.blocks + 1, QStringLiteral("строка таблицы"), n,
                       QStringLiteral("после закрывающей черты программа строк не печатает"));
            EvapRow(n);
            return;
        }
        Stray(n);
    }

    // Compares a printed block with the same block printed again from the
    // recomputed state, line by line and number by number.
    void Compare(int blockNo, const QStringList& printed, const QStringList& expected, int valuesLine) {
        const qsizetype common = std::min(printed.size(), expected.size());
        for (qsizetype i = 0; i < common; ++i) {
            if (printed[i] == expected[i]) continue;
            const QStringList a = Tokens(printed[i]);
            const QStringList b = Tokens(expected[i]);
            if (a.size() != b.size()) {
                Differ(blockNo, QStringLiteral("строка блока"), printed[i], expected[i]);
                continue;
            }
            for (qsizetype k = 0; k < a.size(); ++k) {
                if (a[k] == b[k] || WithinLastDigit(a[k], b[k])) continue;
                QString quantity = QStringLiteral("строка блока");
                if (i == valuesLine && k < type->resultNames.size()) quantity = type->resultNames[k];
                Differ(blockNo, quantity, a[k], b[k]);
            }
        }
        if (printed.size() < expected.size())
            Differ(blockNo, QStringLiteral("строка блока"), QStringLiteral("нет"), expected[common]);
    }

    // A line out of its range or a model that cannot run: true when the block
    // could be computed.
    bool Computable(int blockNo, const Recomputed& r, const QStringList& construction) {
        if (r.status == Status::Input) {
            const int line = r.badLine;
            if (line < type->sheetLines) {
                if (!headBadReported)
                    Differ(blockNo, QStringLiteral("строка %1: %2").arg(line).arg(type->captions[line]), head.texts[line],
                           QStringLiteral("вне допустимых пределов"));
                headBadReported = true;
            } else {
                const int first = type->type == Apparatus::Heater ? 12 : type->sheetLines;
                Differ(blockNo, QStringLiteral("строка %1: %2").arg(line).arg(type->captions.value(line)),
                       construction.value(line - first), QStringLiteral("вне допустимых пределов"));
            }
            return false;
        }
        return true;
    }

    void FinishBlock() {
        QStringList lines = block;
        block.clear();
        ++sum.blocks;
        ++headBlocks;
        const int blockNo = sum.blocks;
        if (!headOk) return;  // the head's own mismatch is already told
        if (lines.size() < 3) {
            Differ(blockNo, QStringLiteral("блок неполон"), lines.join(QStringLiteral(" / ")),
                   QStringLiteral("три строки конструкции и таблица результатов"));
            return;
        }
        QStringList construction;
        bool horizontal = true;
        if (type->type == Apparatus::Heater) {
            horizontal = lines[0].contains(QStringLiteral("ГОРИЗОНТАЛЬНЫЙ"));
            construction = Numbers(lines[0]) + Numbers(lines[1]) + Numbers(lines[2]);
            if (construction.size() != 4 ||
                (!horizontal && !lines[0].contains(QStringLiteral("ВЕРТИКАЛЬНЫЙ")))) {
                Differ(blockNo, QStringLiteral("конструкция"), lines.mid(0, 3).join(QStringLiteral(" / ")),
                       QStringLiteral("тип, диаметр, число ходов, длина или высота, число труб"));
                return;
            }
        } else {
            construction = Numbers(lines[0]) + Numbers(lines[1]) + Numbers(lines[2]);
            if (construction.size() != 5) {
                Differ(blockNo, QStringLiteral("конструкция"), lines.mid(0, 3).join(QStringLiteral(" / ")),
                       QStringLiteral("диаметр, число ходов, коэффициент ε, число труб, площадь сечения"));
                return;
            }
        }
        Recomputed r = Recompute(type->type, head.texts, construction, horizontal);
        if (!Computable(blockNo, r, construction)) return;
        const QChar mark = MarkOf(lines);

        const bool warning = type->type == Apparatus::Heater && lines.size() == 4 && lines[3].startsWith(kReynoldsWarning);
        if (warning) {
            // The red line of the design window: the number must be the
            // model's, and the model must indeed stop there.
            const QString printedRe = Numbers(lines[3]).value(0);
            const QString re = FormatFixed(r.s.ReTube, 9, 2, mark).trimmed();
            if (r.status == Status::Ok)
                Differ(blockNo, kTubeRe, lines[3], re + QStringLiteral(" — больше 2300, расчёт выполним"));
            else if (printedRe != re && !WithinLastDigit(printedRe, re))
                Differ(blockNo, kTubeRe, printedRe, re);
            const QStringList expected = RenderBlock(type->type, r.s, mark).mid(0, 3);
            Compare(blockNo, lines.mid(0, 3), expected, -1);
            return;
        }
        if (r.status == Status::Model) {
            Differ(blockNo, QStringLiteral("расчёт"), QStringLiteral("результаты напечатаны"),
                   type->type == Apparatus::Heater
                       ? QStringLiteral("расчёт невозможен: число Re в трубах %1 не больше 2300")
                             .arg(FormatFixed(r.s.ReTube, 0, 2, mark))
                       : QStringLiteral("расчёт невозможен"));
            return;
        }
        Compare(blockNo, lines, RenderBlock(type->type, r.s, mark), kValuesLine);
    }

    void EvapRow(const QString& n) {
        ++sum.blocks;
        ++headBlocks;
        const int blockNo = sum.blocks;
        if (!headOk) return;
        QStringList cells = n.split(QLatin1Char('|'));
        if (cells.size() != 7 || !cells.first().trimmed().isEmpty() || !cells.last().trimmed().isEmpty()) {
            Differ(blockNo, QStringLiteral("строка таблицы"), n, QStringLiteral("высота и четыре результата"));
            return;
        }
        const QStringList construction = {cells[1].trimmed()};
        Recomputed r = Recompute(Apparatus::Evaporator, head.texts, construction, false);
        if (!Computable(blockNo, r, construction)) return;
        if (r.status == Status::Model) {
            Differ(blockNo, QStringLiteral("расчёт"), QStringLiteral("результаты напечатаны"),
                   QStringLiteral("расчёт невозможен: итерации не сходятся"));
            return;
        }
        Compare(blockNo, {n}, RenderBlock(Apparatus::Evaporator, r.s, MarkOf({n})), 0);
    }

    void CloseHead() {
        if (!block.isEmpty()) FinishBlock();
        if (state == State::HeadStart || state == State::HeadLines) {
            Differ(sum.blocks + 1, QStringLiteral("заголовок"), QStringLiteral("неполон"),
                   QStringLiteral("%1 строк исходных данных").arg(type->sheetLines));
        } else if (state == State::Body && headBlocks == 0) {
            Differ(sum.blocks + 1, QStringLiteral("блок результатов"), QStringLiteral("нет"),
                   QStringLiteral("после заголовка программа печатает хотя бы один блок"));
        }
        state = State::Outside;
    }
};

ReportChecker::ReportChecker(std::function<void(const ReportHead&)> onHead) : d_(new Impl) {
    d_->onHead = std::move(onHead);
}

ReportChecker::~ReportChecker() { delete d_; }

void ReportChecker::Line(QStringView line) {
    if (d_->gaveUp) return;
    const QString n = Normalize(line);
    if (!n.isEmpty()) d_->Process(n);
}

bool ReportChecker::GaveUp() const { return d_->gaveUp; }

ReportSummary ReportChecker::Finish() {
    if (d_->anyHead) d_->CloseHead();
    ReportSummary sum = std::move(d_->sum);
    sum.isReport = d_->anyHead;
    if (!sum.isReport) {
        sum.mismatches = 0;
        sum.differences.clear();
        sum.reason = QStringLiteral("нет ни одного заголовка отчёта программы (строки с датой и «Расчет …»)");
    }
    return sum;
}

ReportSummary CheckReportText(QStringView text, const std::function<void(const ReportHead&)>& onHead) {
    ReportChecker checker(onHead);
    qsizetype start = 0;
    while (start <= text.size() && !checker.GaveUp()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) end = text.size();
        checker.Line(text.mid(start, end - start));
        start = end + 1;
    }
    return checker.Finish();
}

namespace {

ReportSummary NotReport(const QString& reason) {
    ReportSummary s;
    s.reason = reason;
    return s;
}

ReportSummary CheckTextFile(QFile& file, const std::function<void(const ReportHead&)>& onHead) {
    ReportChecker checker(onHead);
    QByteArray line;
    bool first = true;
    char buf[64 * 1024];
    while (!checker.GaveUp()) {
        const qint64 got = file.read(buf, sizeof buf);
        if (got < 0) return NotReport(QStringLiteral("ошибка чтения: %1").arg(file.errorString()));
        if (got == 0) break;
        qint64 start = 0;
        while (start < got) {
            const char* nl = static_cast<const char*>(std::memchr(buf + start, '\n', static_cast<std::size_t>(got - start)));
            const qint64 end = nl ? nl - buf : got;
            line.append(buf + start, end - start);
            if (line.size() > kMaxLineBytes)
                return NotReport(QStringLiteral("строка длиннее %1 КБ — программа таких не пишет").arg(kMaxLineBytes / 1024));
            start = end;
            if (!nl) break;
            ++start;  // the line feed
            if (first && line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
            first = false;
            if (line.contains('\0')) return NotReport(QStringLiteral("двоичный файл, а не текст"));
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString text = utf8.decode(line);
            if (utf8.hasError()) return NotReport(QStringLiteral("текст не в кодировке UTF-8"));
            checker.Line(text);
            line.clear();
            if (checker.GaveUp()) break;
        }
    }
    if (!line.isEmpty() && !checker.GaveUp()) {
        if (first && line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
        if (line.contains('\0')) return NotReport(QStringLiteral("двоичный файл, а не текст"));
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(line);
        if (utf8.hasError()) return NotReport(QStringLiteral("текст не в кодировке UTF-8"));
        checker.Line(text);
    }
    return checker.Finish();
}

}  // namespace

namespace {
PdfTextReader& PdfReader() {
    static PdfTextReader reader;
    return reader;
}
}  // namespace

void SetPdfTextReader(PdfTextReader reader) { PdfReader() = std::move(reader); }

ReportSummary CheckReportFile(const QString& path, const std::function<void(const ReportHead&)>& onHead) {
    const QFileInfo info(path);
    if (!info.exists()) return NotReport(QStringLiteral("файл не найден"));
    if (info.isDir()) return NotReport(QStringLiteral("это папка"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return NotReport(QStringLiteral("не открывается: %1").arg(file.errorString()));
    const QByteArray magic = file.peek(5);
    if (magic == "%PDF-") {
        file.close();
        ReportChecker checker(onHead);
        QString reason;
        bool any = false;
        if (!PdfReader()) return NotReport(QStringLiteral("PDF здесь не читается: нет модуля чтения PDF"));
        // The number at the foot of each PDF page is the page's, not the
        // report's: "стр. 2 из 3".
        static const QRegularExpression pageFoot(QStringLiteral("^\\s*стр\\. [0-9]+ из [0-9]+\\s*$"));
        const bool read = PdfReader()(path, [&](QStringView line) {
            if (pageFoot.match(line.toString()).hasMatch()) return;
            if (!line.trimmed().isEmpty()) any = true;
            checker.Line(line);
        }, &reason);
        if (!read) return NotReport(reason);
        if (!any) return NotReport(QStringLiteral("в PDF нет текста"));
        return checker.Finish();
    }
    if (file.size() == 0) return NotReport(QStringLiteral("пустой файл"));
    return CheckTextFile(file, onHead);
}

}  // namespace heatx::batch
