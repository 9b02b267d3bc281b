// SPDX-License-Identifier: GPL-3.0-or-later
// The texts the windows show, exactly as the program writes them (blanks
// included). Shared by the windows of all three apparatus types.
#pragma once

#include "heater/heater_report.h"

#include <QString>
#include <QStringList>

namespace heatx::texts {

inline const QString kStartTitle = QStringLiteral("НАЧАЛО РАБОТЫ С ПРОГРАММОЙ");
inline const QString kTitleLine1 = QStringLiteral("Программа расчета");
inline const QString kTitleLine2 = QStringLiteral("газожидкостных кожухотрубных");
inline const QString kTitleLine3 = QStringLiteral("теплообменников");
inline const QString kAuthorCredit = QStringLiteral("  Автор Ортелин");
inline const QString kDescriptionButton = QStringLiteral("ОПИСАНИЕ ПРОГРАММЫ");
inline const QString kInputButton = QStringLiteral("ВВОД ИСХОДНОЙ ИНФОРМАЦИИ");
inline const QString kEndProgramButton = QStringLiteral("ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ");
inline const QString kDescriptionTitle = QStringLiteral("Описание программы");
inline const QString kContinueButton = QStringLiteral("ПРОДОЛЖЕНИЕ РАБОТЫ");
inline const QString kSurnamePrompt = QStringLiteral("  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ ");
inline const QString kSurnameTitle = QStringLiteral("ВВОД ФАМИЛИИ");
inline const QString kMenuHeading = QStringLiteral("   БИБЛИОТЕКА ПРОГРАММ");
inline const QString kEvaporatorButton = QStringLiteral("ИСПАРИТЕЛЬ");
inline const QString kHeaterButton = QStringLiteral("ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР");
inline const QString kCoolerButton = QStringLiteral("ХОЛОДИЛЬНИК");
inline const QString kEndCalculationButton = QStringLiteral("ОКОНЧАНИЕ РАСЧЁТА");
inline const QString kSheetEntryTitle = QStringLiteral("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ");
inline const QString kInputBoxTitle = QStringLiteral("ВВОД ИСХОДНОЙ ИНФОРМАЦИИ");
inline const QString kSheetHeading = QStringLiteral("   ИСХОДНАЯ ИНФОРМАЦИЯ");
inline const QString kEditHint = QStringLiteral(" Подведите указатель мыши к   строке, информацию которой   Вы будете исправлять и  щёлкните левой кнопкой");
inline const QString kSheetCheckTitle = QStringLiteral("   ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ");
inline const QString kSheetChangeTitle = QStringLiteral("   ИЗМЕНЕНИЕ ИСХОДНОЙ ИНФОРМАЦИИ");
inline const QString kKeepDataWords = QStringLiteral("НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ");
inline const QString kChangeDataWords = QStringLiteral("ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ");
inline const QString kEndCorrectionsWords = QStringLiteral("КОНЕЦ ИСПРАВЛЕНИЙ");
inline const QString kInputErrorLine = QStringLiteral("Ошибка в исходной информации.");
inline const QString kChangeQuestion = QStringLiteral("  Изменяете исходную информацию?");
inline const QString kYes = QStringLiteral("Да");
inline const QString kNo = QStringLiteral("Нет");
inline const QString kResultsLine1 = QStringLiteral("                РЕЗУЛЬТАТЫ УТОЧНЁННОГО РАСЧЁТА");
inline const QString kResultsLine3 = QStringLiteral("КОЭФФИЦИЕНТ        КОЭФФИЦИЕНТ       КОЭФФИЦИЕНТ     ПОВЕРХНОСТЬ");
inline const QString kResultsLine4 = QStringLiteral("ТЕПЛООТДАЧИ        ТЕПЛООТДАЧИ      ТЕПЛОПЕРЕДАЧИ    ТЕПЛООБМЕНА");
inline const QString kResultsLine5 = QStringLiteral("В ТР. ПР-ВЕ        В МТР.ПР-ВЕ                           М^2");
inline const QString kPrintButton = QStringLiteral("ПЕЧАТЬ РЕУЛЬТАТА ( F расч. < F норм. )");
inline const QString kChangeConstructionButton = QStringLiteral("ИЗМЕНЕНИЕ КОНСТРУКТИВНЫХ ПАРАМЕТРОВ АППАРАТА");
inline const QString kChangePropertiesButton = QStringLiteral("ИЗМЕНЕНИЕ МАССИВА ФИЗСВОЙСТВ");
inline const QString kOtherExchangerButton = QStringLiteral("ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА");
inline const QString kGoCalculateButton = QStringLiteral("ПЕРЕХОД К РАСЧЕТУ");
inline const QString kErrorTitle = QStringLiteral("ОШИБКА !");
inline const QString kGoOnQuestion = QStringLiteral("    Продолжаете работу ?");
inline const QString kInputErrorText = QStringLiteral("ОШИБКА В ИСХОДНОЙ ИНФОРМАЦИИ");
// The text of the box that refuses a typed value: its first words, the line
// that says what is wrong, and the question on a line of its own.
inline QString RefusalText(const QString& head, const QString& what) {
    return head + QLatin1Char('\n') + what + QLatin1Char('\n') + kGoOnQuestion;
}
inline const QString kChooseType = QStringLiteral("ВЫБЕРИТЕ ТИП ТЕПЛООБМЕННИКА");
inline const QString kHorizontal = heatx::kHeaterHorizontalWord;
inline const QString kVertical = heatx::kHeaterVerticalWord;
inline const QString kConstructionInputTitle = QStringLiteral("ВВОД КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА");
inline const QString kConstructionChangeTitle = QStringLiteral("ИЗМЕНЕНИЕ КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА");
inline const QString kConstructionChangeTitleBlank = QStringLiteral(" ИЗМЕНЕНИЕ КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА");
inline const QString kTypeListCaption = QStringLiteral(" ТИП ТЕПЛООБМЕННИКА");
inline const QString kReynoldsWarning = heatx::kReynoldsWarning;
inline const QString kReynoldsWarningEnd = heatx::kReynoldsWarningEnd;
inline const QString kReynoldsLine = QStringLiteral("ЧИСЛО RE В ТР.");

// The program description, line by line (the first line is empty).
inline const QStringList kDescriptionLines = {
    QStringLiteral(""),
    QStringLiteral("       ПРОГРАММА РАСЧЁТА КОЖУХОТРУБНЫХ ТЕПЛООБМЕННИКОВ"),
    QStringLiteral("                    автор Ортелин"),
    QStringLiteral(""),
    QStringLiteral("   ПЕРЕД НАЧАЛОМ РАБОТЫ НЕБХОДИМО ИЗУЧИТЬ МЕТОДИКУ РАСЧЁТА"),
    QStringLiteral("      ТЕПЛООБМЕННИКОВ И ПОДГОТОВИТЬ ИСХОДНУЮ ИНФОРМАЦИЮ."),
    QStringLiteral(""),
    QStringLiteral("           см. литературу:"),
    QStringLiteral(""),
    QStringLiteral("  1. ОСНОВНЫЕ ПРОЦЕССЫ И АППАРАТЫ ХИМИЧЕСКОЙ ТЕХНОЛОГИИ."),
    QStringLiteral("     ПОСОБИЕ ПО ПРОЕКТИРОВАНИЮ под. ред. Кернавского"),
    QStringLiteral(""),
    QStringLiteral("  2. РАСЧЁТ ТЕПООБМЕННИКОВ С ПРИМЕНЕНИЕМ ЭВМ"),
    QStringLiteral("     МЕТОДИЧЕСКОЕ УКАЗАНИЕ(М131), НАВРИТ "),
    QStringLiteral("     1979г."),
    QStringLiteral(""),
    QStringLiteral("  3. УЧЕБНЫЙ САЙТ КАФЕДРЫ ПРОЦЕССОВ И АППАРАТОВ"),
    QStringLiteral("     (персональная страница доц. Тривельского)"),
};

}  // namespace heatx::texts
