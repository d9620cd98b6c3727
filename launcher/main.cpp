// Launcher: starts 奥文Orvane.exe from its own folder and ends; the main program
// starts it to restart itself.
#include <windows.h>

#include "forms/Program.h"
#include "launcher/Form1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ui::initialise(L"Launcher");
    ui::guard([] { ui::show<launcher::Form1>(); });
    return ui::run();
}
