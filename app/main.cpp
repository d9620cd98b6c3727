// 奥文Orvane: the splash starts every run and routes by the first-run flag.
#include <windows.h>

#include "editor/FormEditor.h"
#include "forms/Program.h"
#include "setup/Formwel.h"
#include "startup/Formlauncher.h"
#include "startup/Formmain.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ui::initialise(L"奥文Orvane");
    Formlauncher::routes.welcome = [] { ui::show<Formwel>(); };
    Formlauncher::routes.mainMenu = [] { ui::show<Formmain>(); };
    // The editor and the login window arrive later; until then their tiles lead nowhere.
    Formmain::routes.editor = [] { ui::show<FormEditor>(); };
    Formmain::routes.login = {};
    ui::show<Formlauncher>();
    return ui::run();
}
