// The error window: a required program of the installation is missing. Its only
// button, 好的, ends the program. Launcher carries the same window.
#pragma once

#include "forms/Form.h"

class FormE : public ui::Form {
public:
    FormE();

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    void Image2_Click();
};
