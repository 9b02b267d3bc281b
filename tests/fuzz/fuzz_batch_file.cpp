// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a variants file, through the path every call of heatx-batch
// takes: the results table with a decimal point and with a decimal comma (and
// the spreadsheet options), the report text under a point and a comma locale,
// for every apparatus type. The output must be whole text, one table row per
// variant, and the exit status 0 unless the input is not text (a zero byte)
// nor a readable spreadsheet (a zip archive, an old .xls, a PDF).
#include "batch/sheet_reader.h"
#include "batch/table_command.h"
#include "text/text_format.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace heatx::batch;

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

struct Mode {
    QStringList args;
    bool russian;  // reports under a comma locale
};

std::size_t Count(const std::string& s, char c) {
    std::size_t n = 0;
    for (char x : s) n += x == c;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool notText = std::memchr(data, 0, size) != nullptr || SheetReader::LooksLikeZip(bytes) ||
                         bytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") || bytes.starts_with("%PDF-");
    static const Mode modes[] = {
        {{QStringLiteral("heater")}, false},
        {{QStringLiteral("--decimal-comma"), QStringLiteral("--id"), QStringLiteral("cooler")}, false},
        {{QStringLiteral("--no-header"), QStringLiteral("--separator"), QStringLiteral(","), QStringLiteral("evaporator")}, false},
        {{QStringLiteral("--report"), QStringLiteral("--date"), QStringLiteral("2026-12-07 14:05:33"), QStringLiteral("heater")}, false},
        {{QStringLiteral("--report"), QStringLiteral("--id"), QStringLiteral("--date"), QStringLiteral("2026-12-07 14:05:33"),
          QStringLiteral("cooler")}, true},
        {{QStringLiteral("--report"), QStringLiteral("--date"), QStringLiteral("2026-12-07 14:05:33"),
          QStringLiteral("evaporator")}, true},
    };
    // The options as the command line gives them, read once.
    static const std::vector<CliOptions> parsed = [] {
        std::vector<CliOptions> all;
        for (const Mode& mode : modes) {
            CliOptions options;
            QString error;
            Check(ParseArguments(mode.args, options, &error) == Parsed::Run);
            options.locale = mode.russian ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c();
            all.push_back(options);
        }
        return all;
    }();
    for (const CliOptions& options : parsed) {
        MemorySource source(bytes);
        StringSink out;
        int variants = -1;
        const int status = Execute(options, source, out, [&variants](const QString& message) {
            if (message.startsWith(QStringLiteral("прочитано вариантов: ")))
                variants = message.mid(21).section(QLatin1Char(' '), 0, 0).toInt();
        });
        // Only input that is not text stops a run; a bad variant never does.
        Check(status == kExitDone || (status == kExitUsage && notText));
        Check(out.bytes.find('\0') == std::string::npos);
        if (!options.report) {
            // The header and one row per variant, each ending with a line
            // feed: no field can hold a line end, so none is quoted into a row.
            Check(!out.bytes.empty() && out.bytes.back() == '\n');
            Check(out.bytes.compare(0, 3, options.input.idColumn ? "id;" : "sta") == 0);
            MemorySource again(bytes);
            InputReader reader(again, options.input, FieldCount(options.type));
            Record record;
            std::size_t records = 0;
            while (reader.Next(record)) ++records;
            Check(Count(out.bytes, '\n') == records + 1);
        } else if (status == kExitDone) {
            Check(variants >= 0);
            // A page per variant: one separator between two pages.
            Check(Count(out.bytes, '\f') >= std::size_t(variants > 0 ? variants - 1 : 0));
            Check(out.bytes.empty() || out.bytes.back() == '\n');
        }
    }
    heatx::SetDecimalMark(QLatin1Char('.'));
    return 0;
}
