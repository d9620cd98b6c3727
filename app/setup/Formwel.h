// The welcome window: the first window of the setup, shown by the splash as long as
// the setup is not complete. Each load starts VB.bat, the outside batch file of the
// program folder; 开始 leads to step 1.
#pragma once

#include "forms/Form.h"

class Formwel : public ui::Form {
public:
    Formwel();

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    void Image2_Click();
};
