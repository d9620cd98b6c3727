// Step 1 of the setup: the Python installer, when one lies in the program folder as
// python.exe. Each click on its button starts one more installer and the step stays.
// Orvane composes and renders without Python, so a missing installer is only said in a
// message, and the step stays. 下一步 goes on without testing whether Python is installed.
#pragma once

#include "forms/Form.h"

class Formset1 : public ui::Form {
public:
    Formset1();

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    void Image2_Click();
    void Image3_Click();
    void Image4_Click();
};
