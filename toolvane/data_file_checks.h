// What the data-file readers share: the checks of the file before any
// popup, and the message when a file cannot be read.
#pragma once

namespace toolvane {

// A non-empty path to a file that exists, is not empty, and whose name ends
// with extension (regardless of letter case).
bool AcceptableDataFile(const char *path, const char *extension);

// "Wystąpił błąd." / "Nie umiem odczytać zbioru danych wejściowych."
void ShowDataFileError();

}  // namespace toolvane
