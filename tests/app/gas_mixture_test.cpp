// The calculator's arithmetic, against values worked out independently
// (the same operations in the same order, in Python).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/density_screen.h"
#include "app/gas_mixture.h"

namespace {

using app::gas::Composition;

TEST(GasMixture, DryAirFromAnEmptyComposition) {
    Composition c{};
    app::gas::FillWithAir(c, app::gas::Sum(c));
    const double air[] = {78.08426, 20.9476, 0.934, 0.0314, 0.001818, 0.000524, 0.00015, 0, 0.00005, 0.0002};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(c[i], air[i]) << i;
    for (int i = 10; i < 15; ++i) EXPECT_EQ(c[i], 0.0) << i;
    EXPECT_EQ(app::gas::Sum(c), 100.00000200000001);
    const double r = app::gas::GasConstant(c);
    EXPECT_EQ(r, 287.04598168574165);
    EXPECT_EQ(app::gas::Density(r), 1.2923004850294135);
}

TEST(GasMixture, FillAddsTheMissingFractionOfEachAirShare) {
    Composition c{};
    c[6] = 50.0;  // methane
    c[10] = 3.0;  // ammonia: outside the air fill
    app::gas::FillWithAir(c, 50.0);
    EXPECT_EQ(c[6], 50.000075);
    EXPECT_EQ(c[0], 39.04213);
    EXPECT_EQ(c[10], 3.0);
    // Already 100 %: nothing to add.
    const Composition before = c;
    app::gas::FillWithAir(c, 100.0);
    EXPECT_EQ(c, before);
}

TEST(GasMixture, SingleComponents) {
    Composition n2{};
    n2[0] = 100.0;
    EXPECT_EQ(app::gas::GasConstant(n2), 831414.0 / (200 * 14.0067));
    EXPECT_NEAR(app::gas::GasConstant(n2), 296.79, 0.005);
    EXPECT_NEAR(app::gas::Density(app::gas::GasConstant(n2)), 1.2499, 0.00005);
    // The trace gases weigh 263.0982 / 5, chlorine is diatomic.
    Composition trace{};
    trace[9] = 100.0;
    EXPECT_DOUBLE_EQ(app::gas::GasConstant(trace), 831414.0 / (100 * 263.0982 / 5));
    Composition cl2{};
    cl2[13] = 100.0;
    EXPECT_DOUBLE_EQ(app::gas::GasConstant(cl2), 831414.0 / (200 * 35.453));
}

TEST(GasMixture, AirDensityConstantIsTheFormulaAt287055) {
    EXPECT_EQ(app::gas::Density(app::kAirGasConstant), app::kAirDensity);
}

// No gas constant without a positive finite denominator; never an infinity
// or a NaN.
TEST(GasMixture, DegenerateCompositionsGiveZero) {
    const double inf = std::numeric_limits<double>::infinity();
    Composition zero{}, negative{}, huge{}, tiny{}, nan{};
    negative[0] = -10.0;
    huge[0] = huge[1] = 1e308;
    tiny[0] = 1e-320;
    nan[3] = std::nan("");
    for (const Composition &c : {zero, negative, huge, tiny, nan}) EXPECT_EQ(app::gas::GasConstant(c), 0.0);
    for (double r : {0.0, -287.0, inf, std::nan(""), 1e-320}) EXPECT_EQ(app::gas::Density(r), 0.0) << r;
}

}  // namespace
