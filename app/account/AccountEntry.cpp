#include "account/AccountEntry.h"

#include "account/Account.h"
#include "system/System.h"

namespace account {

bool createFromEntries(std::wstring_view userName, std::wstring_view password) {
    if (userName.empty()) {
        sys::message(L"用户名不可为空");
        return false;
    }
    if (const sys::Cause refused = refusal(userName, password)) {
        sys::message(*refused, sys::Icon::Exclamation);
        return false;
    }
    sys::endOn(store(userName, password));
    return true;
}

}  // namespace account
