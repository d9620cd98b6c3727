// 奥文Orvane: the splash starts every run and routes by the first-run flag.
#include <windows.h>

#include "account/FormLOGIN.h"
#include "account/FormSET.h"
#include "editor/FormEditor.h"
#include "forms/Program.h"
#include "setup/Formwel.h"
#include "startup/FormYHXY.h"
#include "startup/FormYSZC.h"
#include "startup/Formlauncher.h"
#include "startup/Formmain.h"
#include "system/Paths.h"
#include "text/LineFile.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ui::initialise(L"奥文Orvane");
    Formlauncher::routes.welcome = [] { ui::show<Formwel>(); };
    Formlauncher::routes.mainMenu = [] { ui::show<Formmain>(); };
    Formmain::routes.editor = [] { ui::show<FormEditor>(); };
    Formmain::routes.login = [] { ui::show<FormLOGIN>(); };
    FormSET::routes = {[] { ui::show<FormYHXY>(); }, [] { ui::show<FormYSZC>(); }};
    // Writes that a kill cut short leave their temporary files behind.
    text::removeLeftovers(sys::programFolder());
    text::removeLeftovers(sys::inProgramFolder(L"wav"));
    ui::guard([] { ui::show<Formlauncher>(); });
    return ui::run();
}
