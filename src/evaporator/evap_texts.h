// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the evaporator's design window and its prompts, exactly as the
// program writes them (blanks included).
#pragma once

#include <QString>

namespace heatx::texts {

inline const QString kEvapDesignTitle = QStringLiteral("РАСЧЁТ ИСПАРИТЕЛЕЙ");
inline const QString kChangeHeightButton = QStringLiteral("ИЗМЕНЕНИЕ ВЫСОТЫ ТРУБ");
inline const QString kHeightLineStart = QStringLiteral("  ВЫСОТА ТРУБ ");
inline const QString kHeightLineEnd = QStringLiteral(" М");
inline const QString kHeightPrompt = QStringLiteral("  ВВЕДИТЕ ВЫСОТУ ТРУБ, М ");
inline const QString kHeightInputTitle = QStringLiteral("ВВОД ВЫСОТЫ ТРУБ");
inline const QString kHeightRefused = QStringLiteral("Высота труб от 1 до 10 метров.");
inline const QString kEvapModelFailure = QStringLiteral("Ошибка в исходной информации(см.массив физсвойств.)");

}  // namespace heatx::texts
