// What the windows that take a user name and a password (setup step 3, the settings) do
// with them: the account is stored, or the user is told why not.
#pragma once

#include <string_view>

namespace account {

// An empty user name is answered with "用户名不可为空" and a user name or password with
// characters that code page 936 cannot hold is refused with a message that names them;
// nothing is written then. Otherwise the account is stored, and a file that cannot be
// written is named before the program ends: it cannot go on with half an account.
// Returns whether the account was stored.
bool createFromEntries(std::wstring_view userName, std::wstring_view password);

}  // namespace account
