// Step 3 of the setup: the local account. The user name box starts with the name of
// the signed-in system user; the password shows as typed. 下一步 creates the account
// and goes on, unless the user name is empty.
#pragma once

#include "account/Account.h"
#include "forms/Form.h"

class Formset3 : public ui::Form {
public:
    Formset3();

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    void Image2_Click();
    void Image3_Click();
};
