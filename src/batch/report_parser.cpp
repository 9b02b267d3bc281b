// SPDX-License-Identifier: GPL-3.0-or-later
// The reading of a report, line by line: heads, their input lines, the
// blocks or table rows under them, the lines heatx-batch adds to an answer
// key; each block computed again and compared.
#include "batch/report_check.h"

#include "batch/report_compare.h"
#include "batch/report_layout.h"
#include "batch/report_pages.h"
#include "batch/report_recompute.h"
#include "report/trace_block.h"
#include "text/text_format.h"

#include <QRegularExpression>

namespace heatx::batch {

namespace {

// Lines read without finding any report head before the file is given up.
constexpr int kLinesBeforeGivingUp = 1000;
// Mismatches after which the rest of a file cannot change its verdict and is
// not read.
constexpr int kMismatchesBeforeGivingUp = 10000;

}  // namespace

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
    bool inTrace = false;        // within the trace printed after a block

    // The head in work.
    const ReportType* type = nullptr;
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
            EndTrace();
            CloseHead();
            StartHead(*title);
            return;
        }
        if (TraceLine(n) || AnswerKeyLine(n)) return;
        // The line of a chart the student added after a block: it names the
        // picture file beside the report (the picture has a page of its own
        // in the PDF, with no text but its foot).
        static const QRegularExpression pictureLine(QStringLiteral("^ГРАФИК: \\S+\\.png$"));
        if (state == State::Body && block.isEmpty() && headBlocks > 0 && pictureLine.match(n).hasMatch()) return;
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

    // The trace of a run after its block: the intermediate values of the
    // block's own calculation, which the block's check already covers.
    // True when the line belongs to it.
    bool TraceLine(const QString& n) {
        static const QString traceHeading = Normalize(kTraceHeading);
        static const QString traceEnd = Normalize(kTraceEnd);
        if (inTrace) {
            if (n == traceEnd) {
                inTrace = false;
                // The evaporator's table was closed for the trace: a row
                // after it comes under a header of its own.
                evapHeaderLines = 0;
                evapHeaderDone = false;
                evapClosed = false;
            }
            return true;
        }
        if (n == traceHeading) {
            if (state == State::Body && !block.isEmpty()) FinishBlock();
            if (state != State::Body || headBlocks == 0)
                Differ(sum.blocks + 1, QStringLiteral("ход расчёта"), n,
                       QStringLiteral("программа печатает ход расчёта только после блока результатов"));
            inTrace = true;
            return true;
        }
        return false;
    }

    // The lines heatx-batch adds to an answer key: the variant's name
    // before its report, and the short page of a variant without a result.
    // True when the line is one of them.
    bool AnswerKeyLine(const QString& n) {
        static const QRegularExpression variantLine(
            QStringLiteral("^%1:? (.+?)(?: \\(СТРОКА [0-9]+ ФАЙЛА\\))?$").arg(kVariantWord));
        if (const auto m = variantLine.match(n); m.hasMatch()) {
            if (state != State::Outside) CloseHead();
            pendingLabel = m.captured(1);
            problemReason = false;
            return true;
        }
        static const QString noResult = Normalize(kNoResultLine) + QLatin1Char(' ');
        if (n.startsWith(noResult)) {
            if (state != State::Outside) CloseHead();
            pendingLabel.clear();
            problemReason = true;
            return true;
        }
        if (problemReason && state == State::Outside) {
            problemReason = false;  // the reason of the short page
            return true;
        }
        return false;
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
        if (type->type == Apparatus::Heater && block.size() == 4 && n.startsWith(ReynoldsWarning())) FinishBlock();
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
        CompareLines(printed, expected, [&](qsizetype line, qsizetype word, const QString& a, const QString& b) {
            const bool value = line == valuesLine && word >= 0 && word < type->resultNames.size();
            Differ(blockNo, value ? type->resultNames[word] : QStringLiteral("строка блока"), a, b);
        });
    }

    // A line out of its range or a model that cannot run: true when the block
    // could be computed.
    bool Computable(int blockNo, const RowResult& r, const QStringList& construction) {
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

    // The construction of a heater or cooler block: its printed numbers and
    // (heater) its type; false when the block does not give them.
    bool ReadConstruction(int blockNo, const QStringList& lines, QStringList& construction, bool& horizontal) {
        construction = Numbers(lines[0]) + Numbers(lines[1]) + Numbers(lines[2]);
        if (type->type == Apparatus::Heater) {
            horizontal = lines[0].contains(HorizontalWord());
            if (construction.size() == 4 && (horizontal || lines[0].contains(VerticalWord()))) return true;
            Differ(blockNo, QStringLiteral("конструкция"), lines.mid(0, 3).join(QStringLiteral(" / ")),
                   QStringLiteral("тип, диаметр, число ходов, длина или высота, число труб"));
            return false;
        }
        if (construction.size() == 5) return true;
        Differ(blockNo, QStringLiteral("конструкция"), lines.mid(0, 3).join(QStringLiteral(" / ")),
               QStringLiteral("диаметр, число ходов, коэффициент ε, число труб, площадь сечения"));
        return false;
    }

    // The red line of the design window in place of the table: the number
    // must be the model's, and the model must indeed stop there.
    void WarningBlock(int blockNo, const QStringList& lines, RowResult& r, QChar mark) {
        const QString printedRe = Numbers(lines[3]).value(0);
        const QString re = FormatFixed(r.state.ReTube, 9, 2, mark).trimmed();
        if (r.status == Status::Ok)
            Differ(blockNo, kTubeRe, lines[3], re + QStringLiteral(" — больше 2300, расчёт выполним"));
        else if (printedRe != re && !WithinLastDigit(printedRe, re))
            Differ(blockNo, kTubeRe, printedRe, re);
        const QStringList expected = RenderBlock(type->type, r.state, mark).mid(0, 3);
        Compare(blockNo, lines.mid(0, 3), expected, -1);
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
        if (!ReadConstruction(blockNo, lines, construction, horizontal)) return;
        RowResult r = Recompute(type->type, head.texts, construction, horizontal);
        if (!Computable(blockNo, r, construction)) return;
        const QChar mark = MarkOf(lines);
        if (type->type == Apparatus::Heater && lines.size() == 4 && lines[3].startsWith(ReynoldsWarning()))
            return WarningBlock(blockNo, lines, r, mark);
        if (r.status == Status::Model) {
            Differ(blockNo, QStringLiteral("расчёт"), QStringLiteral("результаты напечатаны"),
                   type->type == Apparatus::Heater
                       ? QStringLiteral("расчёт невозможен: число Re в трубах %1 не больше 2300")
                             .arg(FormatFixed(r.state.ReTube, 0, 2, mark))
                       : QStringLiteral("расчёт невозможен"));
            return;
        }
        Compare(blockNo, lines, RenderBlock(type->type, r.state, mark), kValuesLine);
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
        RowResult r = Recompute(Apparatus::Evaporator, head.texts, construction, false);
        if (!Computable(blockNo, r, construction)) return;
        if (r.status == Status::Model) {
            Differ(blockNo, QStringLiteral("расчёт"), QStringLiteral("результаты напечатаны"),
                   QStringLiteral("расчёт невозможен: итерации не сходятся"));
            return;
        }
        Compare(blockNo, {n}, RenderBlock(Apparatus::Evaporator, r.state, MarkOf({n})), 0);
    }

    // A trace cut short before its closing line.
    void EndTrace() {
        if (!inTrace) return;
        inTrace = false;
        Differ(sum.blocks, QStringLiteral("ход расчёта"), QStringLiteral("не закончен"), kTraceEnd);
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
    d_->EndTrace();
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

}  // namespace heatx::batch
