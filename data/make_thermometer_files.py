#!/usr/bin/env python3
"""Writes the nominal characteristics of the Pt100, Ni100 and Cu100
resistance thermometers as TYP1 data files (Windows-1250, CR LF).

    make_thermometer_files.py [--out FOLDER]   write the three files (default: ChkiTerm beside this script)
    make_thermometer_files.py --check          exit 1 when the files in ChkiTerm differ from what it writes

Column 1 is the temperature in degrees Celsius, column 2 the resistance in
ohms. Each file holds at most 1000 rows: 1 degree steps where the sensor's
range fits, otherwise the smallest whole-degree step that does.
"""
import argparse
import math
import os
import sys

MAX_ROWS = 1000
R0 = 100.0

# Pt100, W100 = 1.385: the Callendar-Van Dusen equation of IEC 60751:2008.
PT_A, PT_B, PT_C = 3.9083e-3, -5.775e-7, -4.183e-12
# Ni100, W100 = 1.617, and Cu100, W100 = 1.426: GOST 6651-2009.
NI_A, NI_B, NI_D = 5.4963e-3, 6.7556e-6, 9.2004e-9
CU_A = 4.26e-3


def pt100(t):
    c = PT_C if t < 0 else 0.0
    return R0 * (1 + PT_A * t + PT_B * t * t + c * (t - 100) * t ** 3)


def ni100(t):
    d = NI_D * (t - 100) * t * t if t > 100 else 0.0
    return R0 * (1 + NI_A * t + NI_B * t * t + d)


def cu100(t):
    return R0 * (1 + CU_A * t)


SENSORS = [
    {
        "file": "Pt100_01.Dan",
        "code": "Ch-ka_Pt100",
        "range": (-200, 850),
        "function": pt100,
        "comment": [
            "Nominalna charakterystyka czujnika platynowego Pt100 (R0 = 100 Ohm, W100 = 1,385).",
            "Kolumna 1: temperatura t [°C], kolumna 2: rezystancja R(t) [Ohm].",
            "Równanie Callendara-Van Dusena:",
            "  R(t) = R0 (1 + A t + B t^2 + C (t - 100) t^3), C = 0 dla t >= 0 °C,",
            "  A = 3,9083e-3, B = -5,775e-7, C = -4,183e-12 (dla t < 0 °C).",
            "Źródło: IEC 60751:2008 (PN-EN 60751), zakres -200..850 °C.",
        ],
    },
    {
        "file": "Ni100_01.Dan",
        "code": "Ch-ka_Ni100",
        "range": (-60, 180),
        "function": ni100,
        "comment": [
            "Nominalna charakterystyka czujnika niklowego Ni100 (R0 = 100 Ohm, W100 = 1,617).",
            "Kolumna 1: temperatura t [°C], kolumna 2: rezystancja R(t) [Ohm].",
            "  R(t) = R0 (1 + A t + B t^2) dla -60..100 °C,",
            "  R(t) = R0 (1 + A t + B t^2 + D (t - 100) t^2) dla 100..180 °C,",
            "  A = 5,4963e-3, B = 6,7556e-6, D = 9,2004e-9.",
            "Źródło: GOST 6651-2009 (nikiel, alfa = 0,00617), zakres -60..180 °C.",
        ],
    },
    {
        "file": "Cu100_01.Dan",
        "code": "Ch-ka_Cu100",
        "range": (-50, 200),
        "function": cu100,
        "comment": [
            "Nominalna charakterystyka czujnika miedzianego Cu100 (R0 = 100 Ohm, W100 = 1,426).",
            "Kolumna 1: temperatura t [°C], kolumna 2: rezystancja R(t) [Ohm].",
            "  R(t) = R0 (1 + A t), A = 4,26e-3.",
            "Źródło: GOST 6651-2009 (miedź, alfa = 0,00426), zakres -50..200 °C.",
        ],
    },
]


def temperatures(low, high):
    step = max(1, math.ceil((high - low) / (MAX_ROWS - 1)))
    return list(range(low, high + 1, step)), step


def file_text(sensor):
    points, step = temperatures(*sensor["range"])
    lines = ["#TYP 1", "#KodProgramu " + sensor["code"], "#STARTKOMEN"]
    lines += sensor["comment"]
    lines.append("Krok temperatury: %d °C, %d wierszy." % (step, len(points)))
    lines.append("Zbiór utworzony skryptem data/make_thermometer_files.py.")
    lines += ["#ENDKOMEN", "#DANE 2 x %d" % len(points)]
    lines += ["# %d %.4f" % (t, sensor["function"](t)) for t in points]
    return ("\r\n".join(lines) + "\r\n").encode("cp1250")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "ChkiTerm"))
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()
    stale = []
    for sensor in SENSORS:
        path = os.path.join(args.out, sensor["file"])
        data = file_text(sensor)
        if args.check:
            try:
                with open(path, "rb") as f:
                    if f.read() != data:
                        stale.append(path)
            except OSError:
                stale.append(path)
        else:
            os.makedirs(args.out, exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
    for path in stale:
        print("not what make_thermometer_files.py writes: " + path, file=sys.stderr)
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
