#include "app/gas_mixture.h"

#include <cmath>

namespace app::gas {

const Composition kAirShares = {
    78.08426, 20.9476, 0.934, 0.0314, 0.001818, 0.000524, 0.00015, 0.0, 0.00005, 0.0002, 0.0, 0.0, 0.0, 0.0, 0.0,
};

double Sum(const Composition &c) {
    double s = 0.0;
    for (double x : c) s += x;
    return s;
}

double MolarMassSum(const Composition &c) {
    // Diatomic gases are written as twice the concentration times the atomic
    // mass, and the trace gases as 263.0982 / 5: the products are formed that
    // way so that the last digits come out the same on every build.
    const double p[kComponents] = {
        (2.0 * c[0]) * 14.0067,  // nitrogen
        (2.0 * c[1]) * 15.9994,  // oxygen
        c[2] * 39.948,           // argon
        c[3] * 44.00995,         // carbon dioxide
        c[4] * 20.183,           // neon
        c[5] * 4.0026,           // helium
        c[6] * 16.04303,         // methane
        c[7] * 64.0628,          // sulphur dioxide
        (2.0 * c[8]) * 1.00797,  // hydrogen
        c[9] * 263.0982 / 5.0,   // remaining trace gases
        c[10] * 17.03061,        // ammonia
        c[11] * 30.0061,         // nitric oxide
        c[12] * 46.0055,         // nitrogen dioxide
        (2.0 * c[13]) * 35.453,  // chlorine
        c[14] * 28.01055,        // carbon monoxide
    };
    double s = 0.0;
    for (double x : p) s += x;
    return s;
}

double GasConstant(const Composition &c) {
    const double denominator = MolarMassSum(c);
    if (!std::isfinite(denominator) || !(denominator > 0.0)) return 0.0;
    const double r = kUniversalGasConstant100 / denominator;
    return std::isfinite(r) ? r : 0.0;
}

double Density(double gasConstant) {
    if (!std::isfinite(gasConstant) || !(gasConstant > 0.0)) return 0.0;
    const double rho = kNormalPressure / (gasConstant * kNormalTemperature);
    return std::isfinite(rho) ? rho : 0.0;
}

void FillWithAir(Composition &c, double sum) {
    const double f = (100.0 - sum) * 0.01;
    for (int i = 0; i < kAirComponents; ++i) c[i] = c[i] + f * kAirShares[i];
}

}  // namespace app::gas
