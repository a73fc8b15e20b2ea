// The main screen: loading it, its title and polling timer, and discarding it.
#pragma once

// Loads the main panel from the resource file and shows it, its timer
// disabled. 0, or -1 after a message when the panel cannot be loaded.
int WyswietlGrafikeEkrGl(const char *resourcePath);
// Sets the title and the timer interval (the polling period); disables the timer.
void UaktualnijNastawyEkrGl();
// Discards the main panel.
void WycofajGrafikeEkrGl();

// Enables or disables the main screen's polling timer.
void UstawOdpytywanieEkrGl(int enabled);

namespace app {
// Binds the callback names of the program's panels to their functions.
void RegisterCallbacks();
// The main panel's title: label, two blanks, version.
const char *MainTitle();
}  // namespace app
