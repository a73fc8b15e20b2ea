#include "toolvane/gas.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

double Viscosity(int gasType, double celsius) {
    double value = -1.0;
    EXPECT_EQ(Toolvane_CalculateDynamicViscosity(gasType, celsius, &value), 0);
    return value;
}

// Least-squares quadratic by orthogonal polynomials over the points
// (three-term recurrence), evaluated at t: independent of the normal equations.
double OrthogonalFit(const std::array<double, 4> &x, const std::array<double, 4> &y, double t) {
    const int n = 4;
    double p0[4], p1[4], p2[4];
    double sumX = 0;
    for (int i = 0; i < n; ++i) sumX += x[i];
    const double alpha0 = sumX / n;
    double s1 = 0, s1x = 0;
    for (int i = 0; i < n; ++i) {
        p0[i] = 1.0;
        p1[i] = x[i] - alpha0;
        s1 += p1[i] * p1[i];
        s1x += x[i] * p1[i] * p1[i];
    }
    const double alpha1 = s1x / s1;
    const double beta1 = s1 / n;
    double s2 = 0;
    for (int i = 0; i < n; ++i) {
        p2[i] = (x[i] - alpha1) * p1[i] - beta1 * p0[i];
        s2 += p2[i] * p2[i];
    }
    double a0 = 0, a1 = 0, a2 = 0;
    for (int i = 0; i < n; ++i) {
        a0 += y[i] * p0[i];
        a1 += y[i] * p1[i];
        a2 += y[i] * p2[i];
    }
    a0 /= n;
    a1 /= s1;
    a2 /= s2;
    const double q1 = t - alpha0;
    const double q2 = (t - alpha1) * q1 - beta1;
    return a0 + a1 * q1 + a2 * q2;
}

constexpr std::array<double, 4> kT0 = {-50, 0, 50, 100};
constexpr std::array<double, 4> kV0 = {1.46e-05, 1.72e-05, 1.93e-05, 2.12e-05};
constexpr std::array<double, 4> kT1 = {0, 20, 50, 100};
constexpr std::array<double, 4> kV1 = {1.37e-05, 1.46e-05, 1.60e-05, 1.83e-05};

TEST(GasConstant, FromMolarMass) {
    EXPECT_NEAR(Toolvane_CalculateGasConstant(28.9644), 287.06, 0.005);
    EXPECT_DOUBLE_EQ(Toolvane_CalculateGasConstant(1.0), 8314.4598);
    EXPECT_EQ(Toolvane_CalculateGasConstant(0.0), 0.0);
    EXPECT_EQ(Toolvane_CalculateGasConstant(-28.0), 0.0);
    EXPECT_EQ(Toolvane_CalculateGasConstant(std::nan("")), 0.0);
}

TEST(GasDensity, IdealGasLaw) {
    EXPECT_NEAR(Toolvane_CalculateGasDensity(287.055, 273.15, 101324.9), 1.2923, 5e-5);
    EXPECT_DOUBLE_EQ(Toolvane_CalculateGasDensity(100.0, 200.0, 40000.0), 2.0);
    EXPECT_EQ(Toolvane_CalculateGasDensity(0.0, 273.15, 101325.0), 0.0);
    EXPECT_EQ(Toolvane_CalculateGasDensity(287.055, 0.0, 101325.0), 0.0);
    EXPECT_EQ(Toolvane_CalculateGasDensity(-287.055, -273.15, 101325.0), 0.0);
}

TEST(Viscosity, TabulatedValuesToFiveDigits) {
    EXPECT_NEAR(Viscosity(0, 0.0), 1.7155e-05, 0.00005e-05);
    EXPECT_NEAR(Viscosity(0, 20.0), 1.8073e-05, 0.00005e-05);
    EXPECT_NEAR(Viscosity(1, 20.0), 1.4612e-05, 0.00005e-05);
}

TEST(Viscosity, CoefficientsOfTheFit) {
    // c0 is the value at 0 °C; c1 and c2 follow from the values at ±1 °C.
    for (const auto &[type, c0, c1, c2] : {std::array<double, 4>{0, 1.7155e-05, 4.73e-08, -7.0e-11},
                                           std::array<double, 4>{1, 1.36942e-05, 4.58501e-08, 2.2244e-12}}) {
        const int gas = static_cast<int>(type);
        const double at0 = Viscosity(gas, 0.0);
        const double slope = (Viscosity(gas, 1.0) - Viscosity(gas, -1.0)) / 2.0;
        const double curvature = (Viscosity(gas, 1.0) + Viscosity(gas, -1.0) - 2.0 * at0) / 2.0;
        EXPECT_NEAR(at0, c0, std::fabs(c0) * 1e-4) << "gas " << gas;
        EXPECT_NEAR(slope, c1, std::fabs(c1) * 1e-3) << "gas " << gas;
        EXPECT_NEAR(curvature, c2, std::fabs(c2) * 1e-2) << "gas " << gas;
    }
}

TEST(Viscosity, MatchesAnIndependentLeastSquaresFitInsideAndOutsideTheTable) {
    for (double t = -200.0; t <= 500.0; t += 12.5) {
        const double expected0 = OrthogonalFit(kT0, kV0, t);
        const double expected1 = OrthogonalFit(kT1, kV1, t);
        EXPECT_NEAR(Viscosity(0, t), expected0, 1e-12 * 1e-5 + std::fabs(expected0) * 1e-11) << t;
        EXPECT_NEAR(Viscosity(1, t), expected1, 1e-12 * 1e-5 + std::fabs(expected1) * 1e-11) << t;
    }
}

TEST(Viscosity, ResidualsAreOrthogonalToTheQuadratic) {
    // The defining property of the least-squares fit: Σ r·t^k = 0 for k = 0, 1, 2.
    for (int gas = 0; gas < 2; ++gas) {
        const auto &t = gas == 0 ? kT0 : kT1;
        const auto &v = gas == 0 ? kV0 : kV1;
        for (int k = 0; k < 3; ++k) {
            double sum = 0, scale = 0;
            for (int i = 0; i < 4; ++i) {
                const double r = v[i] - Viscosity(gas, t[i]);
                sum += r * std::pow(t[i], k);
                scale += v[i] * std::pow(std::fabs(t[i]), k);
            }
            EXPECT_NEAR(sum, 0.0, scale * 1e-12) << "gas " << gas << " power " << k;
        }
    }
}

TEST(Viscosity, OtherGasTypesGiveZeroWithResultZero) {
    for (const int gas : {2, -1, 100}) {
        double value = 1.0;
        EXPECT_EQ(Toolvane_CalculateDynamicViscosity(gas, 20.0, &value), 0);
        EXPECT_EQ(value, 0.0);
    }
    EXPECT_EQ(Toolvane_CalculateDynamicViscosity(0, 20.0, nullptr), 0);
}

}  // namespace
