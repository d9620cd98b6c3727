// The closing window of the setup: 完成 marks the setup complete and restarts the
// program through Launcher, whose fresh start of the main program then finds the
// flag and opens the main menu.
#pragma once

#include "forms/Form.h"

class Formset0 : public ui::Form {
public:
    Formset0();

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    void Image2_Click();
    void Image3_Click();
};
