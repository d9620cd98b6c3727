// 奥文Orvane: the splash starts every run and routes by the first-run flag.
#include <windows.h>

#include "forms/Program.h"
#include "install/ProgramFiles.h"
#include "startup/Formlauncher.h"
#include "system/Paths.h"
#include "text/LineFile.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The splash's picture decodes while the window system starts and the window is made.
    // The manifest has made the program DPI aware already, so its scale is known.
    Formlauncher::preparePicture();
    ui::initialise(L"奥文Orvane");
    // Writes that a kill cut short leave their temporary files behind.
    text::removeLeftovers(sys::programFolder());
    text::removeLeftovers(sys::inProgramFolder(install::SampleFolder));
    ui::guard([] { ui::show<Formlauncher>(); });
    return ui::run();
}
