// Properties of gases treated as ideal.
#pragma once

// 8314.4598 / molar mass [kg/kmol] in J/(kg·K); 0 when the molar mass is not > 0.
double Toolvane_CalculateGasConstant(double molarMass);

// pressure [Pa] / (gas constant [J/(kg·K)] × temperature [K]) in kg/m³;
// 0 unless both the gas constant and the temperature are > 0.
double Toolvane_CalculateGasDensity(double gasConstant, double temperature, double pressure);

// Dynamic viscosity [Pa·s] at a temperature [°C] from the least-squares
// quadratic through the gas's table (gas type 0 or 1; 0 for any other type).
// Always returns 0; nothing is written when viscosity is null.
int Toolvane_CalculateDynamicViscosity(int gasType, double temperature, double *viscosity);
