// SPDX-License-Identifier: GPL-3.0-or-later
// Individual variants for a group: from one or more base rows a teacher
// trusts, rows whose physical inputs are varied by up to a given percentage,
// each rounded to the digits its base value was written with, each passing
// every check of the program with a result, no two alike in their printed
// answers. The same seed gives the same variants on any machine: the random
// numbers are integers of our own generator, and the variation is done in
// integer units of the last written digit.
#pragma once

#include "batch/apparatus.h"
#include "batch/input_reader.h"
#include "batch/row_runner.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace heatx::batch {

// splitmix64: a small generator whose sequence is fixed by its definition.
class SplitMix64 {
public:
    explicit SplitMix64(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    // Uniform in [0, n), without the bias of a plain remainder; 0 when n is 0.
    uint64_t Below(uint64_t n);

private:
    uint64_t state_;
};

// A spread in hundredths of a percent (10 % is 1000), from "10", "7,5" or
// "2.25"; empty when the text is not such a number between 0 and 100.
std::optional<int> ParsePercent(const QString& text);

struct VariantOptions {
    Apparatus type = Apparatus::Heater;
    int count = 30;
    int spread = 1000;            // hundredths of a percent, for every sheet line
    std::map<int, int> lineSpread;  // line number -> hundredths of a percent
    uint64_t seed = 1;
    bool baseHasId = false;  // the first field of a base row is its name
    bool decimalComma = false;  // every number written with a comma
};

struct Variant {
    QString id;           // В01, В02, ...
    QStringList fields;   // the batch fields, as texts
    RowResult row;        // the result of those fields
    int base = 0;         // index of its base row
};

struct VariantSet {
    QString error;  // empty when every variant was made
    std::vector<Variant> variants;
    std::vector<QStringList> bases;  // base rows without an id
    std::vector<int> spreads;        // per field, hundredths of a percent
};

// The answers of a row as the report prints them (two decimals), in units of
// the last printed digit: heater αтр, αмтр, K, F, Re; cooler the same and
// Re of the shell side; evaporator αтр, αмтр, K, F.
std::vector<int64_t> PrintedAnswers(Apparatus type, const RowResult& row);

// One row of a base file as read: its line in the file and its fields (the
// id column taken off).
struct BaseRow {
    std::int64_t line = 0;
    QStringList fields;
};

// Reads the rows of a base file as heatx-batch reads a spreadsheet export
// (any encoding, separator and line end, thousands blanks, the id column);
// false with *problem when a line cannot be read.
bool ReadBaseRows(ByteSource& source, const ReaderOptions& readerOptions, Apparatus type,
                  const std::function<void(const QString&)>& note, std::vector<BaseRow>& rows, QString* problem);

// Makes the variants from the rows of a base file: a first row in which no
// field reads as a number is a header, and a field of it holding "±P %"
// gives that field's spread.
VariantSet MakeVariants(const VariantOptions& options, const std::vector<BaseRow>& rows);
// The same from the text of a base file, fields separated by semicolons.
VariantSet MakeVariants(const VariantOptions& options, QStringView baseText);

// The variant file: a comment line, then one line per variant, its id first,
// fields separated by semicolons (quoted where needed).
std::string VariantsCsv(const VariantOptions& options, const VariantSet& set);

// The same rows through a table writer; a spreadsheet gets a header row
// instead of the comment line. False when the output failed.
class TableWriter;
bool WriteVariants(const VariantOptions& options, const VariantSet& set, bool spreadsheet, TableWriter& table);

}  // namespace heatx::batch
