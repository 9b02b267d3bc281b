// SPDX-License-Identifier: GPL-3.0-or-later
// One variant of a teacher's file run through the calculation core: each
// field a text exactly as a student would type it into an input box, the
// state left as the windows would leave it.
#pragma once

#include "batch/apparatus.h"
#include "batch/input_reader.h"
#include "state/calc_state.h"
#include "state/road_outcome.h"
#include "state/trace.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

namespace heatx::batch {

enum class Status { Ok, Input, Model, Fields };

struct RowResult {
    Status status = Status::Fields;
    int badLine = -1;  // first rejected line when status is Input
    // Why a row is `fields`: how many fields it had, or what was wrong with it.
    int givenFields = 0;
    Record::Problem problem = Record::Problem::None;
    CalcState state;   // the state as the windows would leave it
};

// The word of a status in the table: ok, input, model, fields.
const char* StatusWord(Status status);

// The status and bad line of a road's outcome.
void TakeOutcome(RowResult& row, const RoadOutcome& outcome);

// Runs one variant on a fresh state: the sheet check, (heater) the apparatus
// type as line 11, the constructive checks in prompt order, then the model.
// The fields are UTF-8 texts; the value texts of the state stay empty (see
// StoreValueTexts), the numbers are those the typed texts give.
// A trace, when given, gets the model's steps.
RowResult RunRow(Apparatus type, std::span<const std::string_view> fields, Trace* trace = nullptr);
// The row of a record as read from a file.
RowResult RowOf(Apparatus type, const Record& record, Trace* trace = nullptr);
// The same from texts, value texts stored.
RowResult RunRow(Apparatus type, QStringList fields);

// Stores the value texts of a row's fields in its state, as the input boxes
// would (empty becomes 0, the first comma a point): what a report prints.
void StoreValueTexts(Apparatus type, std::span<const std::string_view> fields, CalcState& state);

// The heater type word in UTF-8.
std::optional<bool> ParseHeaterHorizontal(std::string_view field);

// Reads the heater type word: Cyrillic or Latin Г/H (horizontal) or В/V
// (vertical), either case.
std::optional<bool> ParseHeaterHorizontal(const QString& field);

// Runs every variant of a file's text (blank lines and lines beginning with
// # skipped, any line end accepted, a header line skipped) and hands each
// result to onRow in file order.
void ForEachRow(Apparatus type, QStringView text, const std::function<void(RowResult&)>& onRow);

}  // namespace heatx::batch
