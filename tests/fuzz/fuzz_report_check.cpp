// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a saved report: the check comes back with a consistent
// summary, whatever it is fed. The same bytes as a base file of variants:
// every variant made is a good one.
#include "batch/report_check.h"
#include "batch/variants.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

using namespace heatx::batch;

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    int heads = 0;
    const ReportSummary s = CheckReportText(text, [&heads](const ReportHead& head) {
        ++heads;
        Check(!head.texts.isEmpty());
    });
    Check(s.blocks >= 0 && s.mismatches >= static_cast<int>(s.differences.size()));
    Check(s.isReport ? s.reason.isEmpty() : (!s.reason.isEmpty() && heads == 0 && s.mismatches == 0));
    for (const Difference& d : s.differences) Check(d.block >= 0 && !d.quantity.isEmpty());

    for (Apparatus type : {Apparatus::Heater, Apparatus::Cooler, Apparatus::Evaporator}) {
        VariantOptions options;
        options.type = type;
        options.count = 2;
        const VariantSet set = MakeVariants(options, text);
        for (const Variant& v : set.variants) Check(RunRow(type, v.fields).status == Status::Ok);
        Check(set.error.isEmpty() == (static_cast<int>(set.variants.size()) == options.count));
    }
    return 0;
}
