// The program's start-up, its quit command and its exit codes.
#pragma once

// Runs the program as main() does and returns the process's exit code:
// 0 after a normal quit or a written association record, 1 when a start-up
// step fails (system information, association file, main panel, port
// choice, opening the link).
int Vgx52_Main(int argc, char **argv);

// The main screen's quit command: stops polling, closes the link, discards
// the main panel, ends the event loop and writes the configuration file.
int ObsEkrGl_Koniec(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
