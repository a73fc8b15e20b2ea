// The Korvi70 library's dialogs: choosing the serial port, giving an
// instrument its ID, and the I/O editor. Each is a modal popup with its own
// event loop; the port and ID dialogs load their panels from the panel file
// the connection configuration names, the editor from "Korvi70G.Uir".
#pragma once

// Shows each of COM1..COM4 as absent, in use or free and lets the operator
// choose one. 0 when a port was accepted (Korvi70_NrZlacza is then 1..4), 4
// when cancelled. A panel file that cannot be loaded ends the program with
// exit code 5.
int Korvi70_WybNrZl();
// Reads the ID of the instrument on the line and writes new IDs. 0 when
// closed; 5 when its panel cannot be loaded.
int Korvi70_NadNrId();
// Reads and writes up to 10 bytes of the I/O space of the instrument at
// address. 1 when Korvi70_NrZlacza is outside 1..100 (no dialog), 5 when
// its panel cannot be loaded, else 0 when closed.
int Korvi70_EdytorWeWy(int address);
// Dims the byte fields of both sections of the editor's panel that lie
// beyond their byte counts.
void ObsEkrEdyt_UaktualnijAktywnoscPolOdczytowych(int panel);
