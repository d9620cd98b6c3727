// The settings window, reached only through the login: the theme, the account change,
// the factory reset and the two agreement texts. Every button acts at once and
// announces itself through a notification; nothing asks for a confirmation.
#pragma once

#include <functional>

#include "account/Account.h"
#include "forms/Form.h"

class FormSET : public ui::Form {
public:
    FormSET();

    // The user agreement and the privacy policy windows, reached through these.
    struct Routes {
        std::function<void()> agreement;
        std::function<void()> privacy;
    };
    static Routes routes;

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
