// The login window: it stands between the main menu and the settings. It asks for the
// password of the local account and opens the settings only when the check passes.
// Only a click on 登录 logs in; no key does.
#pragma once

#include "account/Account.h"
#include "forms/Form.h"

class FormLOGIN : public ui::Form {
public:
    FormLOGIN();

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    void ImageLOGIN_Click();
    void ImageUN_Click();
};
