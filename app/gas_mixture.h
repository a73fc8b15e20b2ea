// The gas density calculator's arithmetic: fifteen components in percent by
// volume, their molar-mass terms and shares in dry air, and the ideal-gas
// relations at normal conditions (0 °C, 101324.9 Pa).
#pragma once
#include <array>

namespace app::gas {

inline constexpr int kComponents = 15;
// Components 1 to 10 make up dry air; 11 to 15 are left out of the air fill.
inline constexpr int kAirComponents = 10;

using Composition = std::array<double, kComponents>;  // percent by volume, in table order

// Share of each component in dry air (%), table order; 0 for 11 to 15.
extern const Composition kAirShares;

// 8314.14 J/(kmol·K) times 100, because the concentrations are percentages.
inline constexpr double kUniversalGasConstant100 = 831414.0;
inline constexpr double kNormalTemperature = 273.15;
inline constexpr double kNormalPressure = 101324.9;

// c1 + c2 + ... + c15, added in table order.
double Sum(const Composition &c);
// c1·M1 + ... + c15·M15, the products formed and added in table order.
double MolarMassSum(const Composition &c);
// 831414 / MolarMassSum. A sum that is zero, negative or not finite has no
// gas constant: 0 is given instead of an infinity or a NaN, and so for a
// result that would not be finite.
double GasConstant(const Composition &c);
// 101324.9 / (R × 273.15); 0 when R is not a positive finite number.
double Density(double gasConstant);
// Completes c with dry air: f = (100 − sum) × 0.01 of each air share is
// added to components 1 to 10, in table order.
void FillWithAir(Composition &c, double sum);

}  // namespace app::gas
