// The instrument's service password and temporary serial time-outs.
#pragma once

// Gives the service password to the instrument at address (2..255) with the
// legacy frame 'D'. 0 accepted, 1 address out of range, 2 flush failure,
// 3 no valid reply.
int Korvi70_PodajeHaslo(int address);
// Withdraws the password (legacy frame 'E'); results as above.
int Korvi70_KasujHaslo(int address);
// Sets the open serial port's time-out (the configured value is kept).
// 1 when seconds is not above 0, -1 when the port refuses, else 0. The modem
// and TCP links do nothing and return 0.
int Korvi70_ZmienCzasOczekiwania(double seconds);
// Puts the serial port's time-out back to Korvi70_CzasOczekiwaniaRS.
int Korvi70_PrzywrocCzasOczekiwania();
