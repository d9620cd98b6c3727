// 奥文Orvane: the splash starts every run and routes by the first-run flag.
#include <windows.h>

#include "forms/Program.h"
#include "startup/Formlauncher.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ui::initialise(L"奥文Orvane");
    ui::guard([] { ui::show<Formlauncher>(); });
    return ui::run();
}
