// The splash: every start of the program begins here. It shows the artwork of the
// current theme, posts the welcome notification and, after a moment, routes by the
// first-run flag to the main menu or to the welcome window.
#pragma once

#include <functional>

#include "forms/Form.h"

class Formlauncher : public ui::Form {
public:
    Formlauncher();

    // Where the splash routes to; the windows behind them arrive with the menu and the
    // setup wizard.
    struct Routes {
        std::function<void()> mainMenu;
        std::function<void()> welcome;
    };
    static Routes routes;

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    void Timer1_Timer();
};
