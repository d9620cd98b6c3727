// The settings window, reached only through the login: the theme, the account change,
// the factory reset and the two agreement texts. Every button acts at once and
// announces itself through a notification; nothing asks for a confirmation.
#pragma once

#include "account/Account.h"
#include "forms/Form.h"

class FormSET : public ui::Form {
public:
    FormSET();

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    void ImageL_Click();
    void ImageD_Click();
    void Image3_Click();
    void Image4_Click();
    void Image5_Click();
    void Image6_Click();
    void ImageU_Click();
};
