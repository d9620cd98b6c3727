// 奥文Orvane: the splash starts every run and routes by the first-run flag.
#include <windows.h>

#include "forms/Program.h"
#include "startup/Formlauncher.h"
#include "system/Paths.h"
#include "text/LineFile.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ui::initialise(L"奥文Orvane");
    // Writes that a kill cut short leave their temporary files behind.
    text::removeLeftovers(sys::programFolder());
    text::removeLeftovers(sys::inProgramFolder(L"wav"));
    ui::guard([] { ui::show<Formlauncher>(); });
    return ui::run();
}
