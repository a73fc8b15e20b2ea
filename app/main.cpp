#include "app/program_ui.h"
#include "app/startup.h"

int main(int argc, char **argv) {
    app::InstallProgramUserInterface();
    return Vgx52_Main(argc, argv);
}
