// The splash: every start of the program begins here. It shows the artwork of the
// current theme, posts the welcome notification and, after a moment, routes by the
// first-run flag to the main menu or to the welcome window.
#pragma once

#include "forms/Form.h"

class Formlauncher : public ui::Form {
public:
    Formlauncher();

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    void Timer1_Timer();
};
