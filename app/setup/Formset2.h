// Step 2 of the setup: the theme. 洁白主题 and 暗黑主题 store their theme value and
// go on; 下一步 without a choice stores the light theme and says so in a notification,
// for which notice.exe is required: without it the error window comes up in front of
// step 3.
#pragma once

#include "forms/Form.h"

class Formset2 : public ui::Form {
public:
    Formset2();

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    void Image2_Click();
    void Image3_Click();
    void Image4_Click();
    void Image5_Click();
};
