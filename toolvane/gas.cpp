#include "toolvane/gas.h"

#include <array>
#include <cmath>
#include <span>
#include <utility>

namespace {

// Coefficients c0, c1, c2 of c0 + c1·x + c2·x² fitted to the points by least
// squares: normal equations solved in double with partial pivoting. False,
// with all coefficients 0, when the points do not determine a quadratic.
bool FitQuadratic(std::span<const double> x, std::span<const double> y, std::array<double, 3> &coefficients) {
    coefficients = {0.0, 0.0, 0.0};
    if (x.size() != y.size() || x.size() < 3) return false;

    // Normal equations A·c = b with A[i][j] = Σ x^(i+j), b[i] = Σ y·x^i.
    double a[3][4] = {};
    for (std::size_t n = 0; n < x.size(); ++n) {
        const double p[5] = {1.0, x[n], x[n] * x[n], x[n] * x[n] * x[n], x[n] * x[n] * x[n] * x[n]};
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) a[i][j] += p[i + j];
            a[i][3] += y[n] * p[i];
        }
    }

    // Gaussian elimination; the pivot is the largest remaining entry of the column.
    for (int col = 0; col < 3; ++col) {
        int pivot = col;
        for (int row = col + 1; row < 3; ++row)
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) pivot = row;
        if (!(std::fabs(a[pivot][col]) > 0.0)) return false;
        if (pivot != col)
            for (int k = 0; k < 4; ++k) std::swap(a[pivot][k], a[col][k]);
        for (int row = col + 1; row < 3; ++row) {
            const double factor = a[row][col] / a[col][col];
            for (int k = col; k < 4; ++k) a[row][k] -= factor * a[col][k];
        }
    }
    double c[3];
    for (int row = 2; row >= 0; --row) {
        double sum = a[row][3];
        for (int k = row + 1; k < 3; ++k) sum -= a[row][k] * c[k];
        c[row] = sum / a[row][row];
    }
    for (double v : c)
        if (!std::isfinite(v)) return false;
    coefficients = {c[0], c[1], c[2]};
    return true;
}

constexpr double kUniversalGasConstant = 8314.4598;  // J/(kmol·K)

// Viscosity tables: temperature [°C] and dynamic viscosity [Pa·s].
constexpr std::array<double, 4> kTemperature0 = {-50.0, 0.0, 50.0, 100.0};
constexpr std::array<double, 4> kViscosity0 = {1.46e-05, 1.72e-05, 1.93e-05, 2.12e-05};
constexpr std::array<double, 4> kTemperature1 = {0.0, 20.0, 50.0, 100.0};
constexpr std::array<double, 4> kViscosity1 = {1.37e-05, 1.46e-05, 1.60e-05, 1.83e-05};

// The tables are constant, so each fit is computed once.
const std::array<double, 3> &Coefficients(int gasType) {
    static const std::array<std::array<double, 3>, 2> fits = [] {
        std::array<std::array<double, 3>, 2> c{};
        FitQuadratic(kTemperature0, kViscosity0, c[0]);
        FitQuadratic(kTemperature1, kViscosity1, c[1]);
        return c;
    }();
    return fits[gasType];
}

}  // namespace

double Toolvane_CalculateGasConstant(double molarMass) {
    if (molarMass > 0.0) return kUniversalGasConstant / molarMass;
    return 0.0;
}

double Toolvane_CalculateGasDensity(double gasConstant, double temperature, double pressure) {
    if (gasConstant > 0.0 && temperature > 0.0) return pressure / (gasConstant * temperature);
    return 0.0;
}

int Toolvane_CalculateDynamicViscosity(int gasType, double temperature, double *viscosity) {
    if (viscosity == nullptr) return 0;
    std::array<double, 3> c = {0.0, 0.0, 0.0};
    if (gasType == 0 || gasType == 1) c = Coefficients(gasType);
    *viscosity = c[0] + c[1] * temperature + c[2] * temperature * temperature;
    return 0;
}
