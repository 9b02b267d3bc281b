// SPDX-License-Identifier: GPL-3.0-or-later
// The trace of a model run: its steps and values against worked examples
// (python3 in double precision, the expressions quoted), and its last values
// against the result cells of the same run, bit for bit, for every row of the
// example files.
#include "cooler/cooler_model.h"
#include "cooler/cooler_road.h"
#include "evaporator/evap_model.h"
#include "evaporator/evap_road.h"
#include "heater/heater_model.h"
#include "heater/heater_road.h"
#include "state/calc_state.h"
#include "state/trace.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <bit>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

using namespace heatx;

namespace {

enum class Kind { Heater, Cooler, Evap };

void Set(CalcState& s, const std::vector<std::pair<int, float>>& values) {
    for (auto [line, v] : values) s.InputValues[line] = v;
}

// The worked inputs of the model tests: steam of 3 bar heating water; water
// cooled by water; water boiling at 1 atm heated by steam of 4 bar.
CalcState Heater(const std::vector<std::pair<int, float>>& change = {}, Flag horizontal = kSet) {
    CalcState s;
    Set(s, {{0, 0.686f}, {1, 932}, {2, 2171000}, {3, 0.000212f}, {4, 0.5f}, {5, 0.642f}, {6, 0.000549f},
            {7, 4180}, {8, 0.0005f}, {9, 60}, {10, 5}, {12, 0.025f}, {13, 2}, {14, 3}, {15, 100}});
    Set(s, change);
    s.HeaterHorizontal = horizontal;
    return s;
}
CalcState Cooler(const std::vector<std::pair<int, float>>& change = {}) {
    CalcState s;
    Set(s, {{0, 0.62f}, {1, 995}, {2, 0.0008f}, {3, 4180}, {4, 0.0003f}, {5, 10}, {6, 0.65f}, {7, 0.0005f},
            {8, 4190}, {9, 12}, {10, 25}, {11, 0.0006f}, {12, 500000}, {13, 0.025f}, {14, 2}, {15, 0.95f},
            {16, 100}, {17, 0.02f}});
    Set(s, change);
    return s;
}
CalcState Evap(const std::vector<std::pair<int, float>>& change = {}) {
    CalcState s;
    Set(s, {{0, 0.684f}, {1, 923}, {2, 2141000}, {3, 0.000191f}, {4, 0.683f}, {5, 958}, {6, 4220},
            {7, 0.000282f}, {8, 0.0589f}, {9, 0.598f}, {10, 0.598f}, {11, 2256000}, {12, 43}, {13, 0.0005f},
            {14, 1000000}, {15, 4}});
    Set(s, change);
    return s;
}

void RunModel(Kind kind, CalcState& s, Trace* trace) {
    switch (kind) {
    case Kind::Heater: HeaterModel(s, trace); break;
    case Kind::Cooler: CoolerModel(s, trace); break;
    case Kind::Evap: EvapModel(s, {}, trace); break;
    }
}

const TraceStep* StepOf(const Trace& t, const QString& key) {
    for (const TraceStep& step : t.Steps())
        if (step.key == key) return &step;
    return nullptr;
}

std::optional<float> ResultOf(const TraceStep& step, const QString& symbol) {
    for (const TraceResult& r : step.results)
        if (r.symbol == symbol) return r.value;
    return std::nullopt;
}

// The trace's last value of each result equals its cell, bit for bit.
void ExpectEndsInCells(Kind kind, const Trace& t, const CalcState& s) {
    std::vector<std::pair<const char16_t*, float>> cells = {
        {u"α1", s.AlphaTube}, {u"α2", s.AlphaShell}, {u"K", s.HeatTransferK}, {u"F", s.SurfaceF}};
    if (kind == Kind::Heater) cells.push_back({u"Re", s.ReTube});
    if (kind == Kind::Cooler) {
        cells.push_back({u"Re1", s.ReTube});
        cells.push_back({u"Re2", s.ReShell});
    }
    for (auto [symbol, cell] : cells) {
        const auto last = t.Last(QString::fromUtf16(symbol));
        ASSERT_TRUE(last) << QString::fromUtf16(symbol).toStdString();
        EXPECT_EQ(std::bit_cast<uint32_t>(*last), std::bit_cast<uint32_t>(cell)) << QString::fromUtf16(symbol).toStdString();
    }
}

// Every cell a model writes is the same with and without a trace.
void ExpectSameCells(const CalcState& a, const CalcState& b) {
    const float x[] = {a.AlphaTube, a.AlphaShell, a.HeatTransferK, a.SurfaceF, a.ReTube, a.ReShell, a.ModelWork1,
                       a.ModelWork2, a.ModelWork3, a.MessageAnswer, a.ModelWork4, a.ModelWork5, a.ModelWork6,
                       a.ModelWork7, a.ModelWork8, a.ModelWork9, a.ModelWork11, a.ModelWork12, a.ModelWork13,
                       a.ModelWork14, a.ModelWork15, a.ModelWork16, a.ModelWork17};
    const float y[] = {b.AlphaTube, b.AlphaShell, b.HeatTransferK, b.SurfaceF, b.ReTube, b.ReShell, b.ModelWork1,
                       b.ModelWork2, b.ModelWork3, b.MessageAnswer, b.ModelWork4, b.ModelWork5, b.ModelWork6,
                       b.ModelWork7, b.ModelWork8, b.ModelWork9, b.ModelWork11, b.ModelWork12, b.ModelWork13,
                       b.ModelWork14, b.ModelWork15, b.ModelWork16, b.ModelWork17};
    for (std::size_t i = 0; i < std::size(x); ++i)
        EXPECT_EQ(std::bit_cast<uint32_t>(x[i]), std::bit_cast<uint32_t>(y[i])) << "cell " << i;
    EXPECT_EQ(a.CalcError, b.CalcError);
}

// One value of a step (key) or, with an empty key, the last value stored
// under symbol.
struct Value {
    const char16_t* key;
    const char16_t* symbol;
    double expected;
};
// The choice a step (key) made.
struct Choice {
    const char16_t* key;
    const char16_t* choice;
};

struct Case {
    const char* what;
    Kind kind;
    CalcState state;
    std::vector<Value> values;
    std::vector<Choice> choices;
    Flag error = kClear;
};

}  // namespace

TEST(Trace, StepsAndValuesOfWorkedExamples) {
    // Heater, python3:
    //   din=0.021; Re=4*Gl*2/(pi*din*0.000549*n); A,m=(0.008,0.9) if Re<1e4 else (0.023,0.8)
    //   Pr=4180*0.000549/0.642; a1p=Re**m*(0.642/din*A); a1=Pr**0.43*a1p
    //   eps=0.6 if n>100 else 0.7; C,l=(2.02*eps,3) horizontal, (3.78,0.025) vertical
    //   a2=(932**2*n*l/(0.5*0.000212))**(1/3)*(C*0.686); K=1/(1/a1+0.0005+1/a2); F=0.5*2171000/(K*60)
    // Cooler:
    //   Re1=4*G1*z/(pi*n*0.0008*0.021); Pr1=4180*0.0008/0.62; Gr=0.021**3*9.81*995**2*0.0003/0.0008**2
    //   a1 by regime (laminar with Gr**0.1); Re2=0.025*G2/(0.02*0.0005); Pr2=4190*0.0005/0.65
    //   a2=0.336*26*Re2**0.5*Pr2**0.36 up to 1000, else 0.24*26*Re2**0.6*Pr2**0.36
    //   dtm=eps*25; K=1/(1/a2+0.0006+1/a1); passes x=(dtm*K/a1)**0.1, a1=x*a1_0, again while (K-Kp)/K>0.1
    // Evaporator: A1=780*0.683**1.3*(958/0.0589)**0.5, A2=A1*0.598**0.06/2256000**0.6,
    //   A=A2/(0.598**0.66*(0.000282*4220)**0.3), B=1.21*0.684*(923**2*9.81*2141000/(0.000191*4))**(1/3),
    //   qkr=0.14*2256000*0.598**0.5*(958*9.81*0.0589)**0.25, x1=1, x2=qkr**(1/3); each iteration
    //   f1=f(x1), f2=f(x2), d2=f'(x2), x1-=(x2-x1)*f1/(f2-f1), x2-=f2/d2 until x2-x1 <= 0.1; x=(x1+x2)/2, q=x**3.
    const Case cases[] = {
        {"heater, turbulent, horizontal, n = 100", Kind::Heater, Heater(),
         {{u"dвн", u"dвн", 0.021}, {u"", u"Re", 11043.7986}, {u"", u"Pr", 3.57448598}, {u"", u"α1'", 1206.53063},
          {u"", u"α1", 2086.5087}, {u"", u"ε", 0.7}, {u"", u"C", 1.414}, {u"", u"ℓ", 3}, {u"", u"α2", 13091.4956},
          {u"", u"K", 947.279199}, {u"", u"Q", 1085500}, {u"", u"F", 19.0985579}},
         {{u"режим", u"турбулентный"}, {u"ε", u"ε = 0.7"}, {u"C, ℓ", u"горизонтальный аппарат"}}},
        {"heater, turbulent, horizontal, n = 101", Kind::Heater, Heater({{15, 101}}),
         {{u"", u"Re", 10934.4541}, {u"", u"α1", 2069.96547}, {u"", u"ε", 0.6}, {u"", u"C", 1.212},
          {u"", u"α2", 11258.5622}, {u"", u"K", 932.904454}, {u"", u"F", 19.3928399}},
         {{u"ε", u"ε = 0.6"}}},
        {"heater, turbulent, vertical", Kind::Heater, Heater({}, kClear),
         {{u"", u"C", 3.78}, {u"", u"ℓ", 0.025}, {u"", u"α2", 7095.30777}, {u"", u"K", 892.691579},
          {u"", u"F", 20.2664247}},
         {{u"C, ℓ", u"вертикальный аппарат"}}},
        {"heater, transitional", Kind::Heater, Heater({{10, 3}}),
         {{u"", u"Re", 6626.27918}, {u"", u"A", 0.008}, {u"", u"m", 0.9}, {u"", u"α1'", 672.277346},
          {u"", u"α1", 1162.60002}, {u"", u"K", 696.123592}, {u"", u"F", 25.9891589}},
         {{u"режим", u"переходный"}}},
        {"heater, Re not above 2300", Kind::Heater, Heater({{10, 1}}), {{u"", u"Re", 2208.75972}},
         {{u"режим", u"расчёт остановлен"}}, kSet},
        {"cooler, turbulent, Re2 above 1000", Kind::Cooler, Cooler(),
         {{u"", u"dвн", 0.021}, {u"", u"Re1", 15157.6136}, {u"", u"Pr1", 5.39354839}, {u"", u"Gr", 42161.333},
          {u"", u"α1", 3098.21082}, {u"", u"Re2", 30000}, {u"", u"Pr2", 3.22307692}, {u"", u"α2", 4617.79643},
          {u"", u"Δtm", 23.75}, {u"", u"K", 877.716197}, {u"", u"Q", 500000}, {u"", u"F", 23.9856934}},
         {{u"α1", u"турбулентный"}, {u"α2", u"степенная форма"}}},
        {"cooler, transitional", Kind::Cooler, Cooler({{5, 3}}),
         {{u"", u"Re1", 4547.28409}, {u"", u"α1", 954.872376}, {u"", u"K", 536.53426}, {u"", u"F", 39.2381869}},
         {{u"α1", u"переходный"}}},
        {"cooler, Re2 up to 1000", Kind::Cooler, Cooler({{9, 0.3f}}),
         {{u"", u"Re2", 750}, {u"", u"α2", 364.603387}, {u"", u"K", 272.816071}, {u"", u"F", 77.1678572}},
         {{u"α2", u"форма с корнем"}}},
        {"cooler, laminar with two correction passes", Kind::Cooler,
         Cooler({{5, 1.2f}, {14, 1}, {9, 3}, {12, 100000}, {15, 0.9f}}),
         {{u"", u"Re1", 909.456818}, {u"α1", u"α1", 251.107245}, {u"", u"Re2", 7500}, {u"", u"α2", 2010.01264},
          {u"", u"Δtm", 22.5}, {u"K", u"K", 196.855373}, {u"проход 1", u"x", 1.33243814},
          {u"проход 1", u"α1", 334.58487}, {u"проход 1", u"K", 244.720905}, {u"проход 2", u"x", 1.32322814},
          {u"проход 2", u"α1", 332.272174}, {u"проход 2", u"K", 243.48138}, {u"", u"F", 18.2537344}},
         {{u"α1", u"ламинарный"}, {u"проход 1", u"ещё проход"}, {u"проход 2", u"конец поправки"}}},
        {"evaporator, converging in five iterations", Kind::Evap, Evap(),
         {{u"", u"A1", 60599.1628}, {u"", u"A2", 9.05868668}, {u"", u"A", 12.0718544}, {u"", u"B", 236795.464},
          {u"", u"qкр", 1184691.24}, {u"начало", u"x2", 105.812033}, {u"итерация 1", u"f(x1)", -42.9167},
          {u"итерация 1", u"f(x2)", 1100.99}, {u"итерация 1", u"f′(x2)", 37.0589}, {u"итерация 1", u"x1", 4.93229101},
          {u"итерация 1", u"x2", 76.1027589}, {u"итерация 4", u"x2", 38.806416}, {u"итерация 5", u"x1", 38.027777},
          {u"итерация 5", u"x2", 38.088334}, {u"", u"x", 38.0580555}, {u"", u"q", 55123.8809},
          {u"", u"α1", 8444.57623}, {u"", u"α2", 6221.95381}, {u"", u"K", 1281.95072}, {u"", u"F", 18.1409579}},
         {{u"конец", u"сошлось за 5 итер."}}},
        {"evaporator, stopped: even 1 W/m2 gives more than dt", Kind::Evap, Evap({{12, 0.00001f}}),
         {{u"итерация 1", u"f(x1)", 0.0833315}, {u"итерация 1", u"x1", 0.992364647}},
         {{u"конец", u"остановлено после итерации 1"}}, kSet},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CalcState traced = c.state;
        CalcState plain = c.state;
        Trace trace;
        RunModel(c.kind, traced, &trace);
        RunModel(c.kind, plain, nullptr);
        ExpectSameCells(traced, plain);
        EXPECT_EQ(traced.CalcError, c.error);
        for (const Value& v : c.values) {
            const QString key = QString::fromUtf16(v.key), symbol = QString::fromUtf16(v.symbol);
            SCOPED_TRACE((key + QLatin1Char(' ') + symbol).toStdString());
            std::optional<float> got;
            if (key.isEmpty()) got = trace.Last(symbol);
            else if (const TraceStep* step = StepOf(trace, key)) got = ResultOf(*step, symbol);
            ASSERT_TRUE(got);
            // Stored cells meet double-precision arithmetic within 4-byte rounding;
            // the values near the root of the balance within 1e-4.
            EXPECT_NEAR(*got, v.expected, std::abs(v.expected) * (c.kind == Kind::Evap ? 1e-4 : 1e-5));
        }
        for (const Choice& ch : c.choices) {
            const TraceStep* step = StepOf(trace, QString::fromUtf16(ch.key));
            ASSERT_NE(step, nullptr) << QString::fromUtf16(ch.key).toStdString();
            EXPECT_TRUE(step->choice.startsWith(QString::fromUtf16(ch.choice))) << step->choice.toStdString();
        }
        if (c.error == kClear) ExpectEndsInCells(c.kind, trace, traced);
    }
}

TEST(Trace, EndsInTheResultCellsForEveryExampleRow) {
    struct File {
        const char* name;
        Kind kind;
        int fields;
    };
    int computed = 0;
    for (const File f : {File{"heater.csv", Kind::Heater, 16}, File{"cooler.csv", Kind::Cooler, 18},
                         File{"evaporator.csv", Kind::Evap, 16}}) {
        QFile file(QStringLiteral(HEATX_EXAMPLES_DIR "/") + QLatin1String(f.name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << f.name;
        for (const QString& raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            const QString line = raw.trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
            const QStringList texts = line.split(QLatin1Char(';'));
            ASSERT_EQ(texts.size(), f.fields) << line.toStdString();
            SCOPED_TRACE(line.toStdString());
            const std::span<const QString> span(texts.constBegin(), texts.constEnd());
            CalcState traced, plain;
            Trace trace;
            RoadOutcome withTrace, without;
            switch (f.kind) {
            case Kind::Heater: {
                const bool horizontal = texts[11] == QStringLiteral("Г");
                withTrace = RunHeaterRoad(traced, span, horizontal, &trace);
                without = RunHeaterRoad(plain, span, horizontal);
                break;
            }
            case Kind::Cooler:
                withTrace = RunCoolerRoad(traced, span, CoolerRanges::FirstEntry, &trace);
                without = RunCoolerRoad(plain, span, CoolerRanges::FirstEntry);
                break;
            case Kind::Evap:
                withTrace = RunEvapRoad(traced, span, &trace);
                without = RunEvapRoad(plain, span);
                break;
            }
            EXPECT_EQ(withTrace.kind, without.kind);
            ExpectSameCells(traced, plain);
            if (!withTrace.Ok()) continue;
            ++computed;
            ExpectEndsInCells(f.kind, trace, traced);
        }
    }
    EXPECT_GE(computed, 9);  // the example files hold that many computed rows
}

TEST(Trace, LinesCarryTheDecimalMark) {
    CalcState s = Heater();
    Trace trace;
    HeaterModel(s, &trace);
    const QStringList comma = TraceLines(trace, QLatin1Char(','));
    ASSERT_EQ(comma.size(), qsizetype(trace.Steps().size()));
    // The inner diameter: the formula's constant and the values with a comma.
    EXPECT_TRUE(comma[0].contains(QStringLiteral("dвн = d − 0,004 = 0,021 м;  d = 0,025 м"))) << comma[0].toStdString();
    const QStringList point = TraceLines(trace, QLatin1Char('.'));
    EXPECT_TRUE(point[0].contains(QStringLiteral("0.004 = 0.021 м"))) << point[0].toStdString();
    // A choice shows with its reason.
    EXPECT_TRUE(comma[2].contains(QStringLiteral("турбулентный: Re ≥ 10000"))) << comma[2].toStdString();
    EXPECT_EQ(TraceNumber(-0.5, QLatin1Char(',')), QStringLiteral("−0,5"));
    EXPECT_EQ(TraceNumber(std::nan(""), QLatin1Char(',')), QStringLiteral("не число"));
}
