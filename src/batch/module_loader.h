// SPDX-License-Identifier: GPL-3.0-or-later
// The private modules of heatx-batch (the PDF pages) and its helper program
// (the text of PDFs, read in a confined process). Each module
// needs a library that takes longer to load than a whole table takes to
// compute, so it is loaded only when a call needs it.
#pragma once

#include <QString>

namespace heatx::batch {

// The symbol of the module fileName, from beside the program (build tree) or
// from the module folder (installed); null with *error when neither gives
// it. what names the module in the message.
void* ModuleSymbol(const QString& fileName, const char* symbol, const QString& what, QString* error);

// The path of the helper program fileName: beside the program (build tree),
// else in the module folder (installed); the latter even when it is missing,
// so that the message names where it should be.
QString HelperProgram(const QString& fileName);

}  // namespace heatx::batch
