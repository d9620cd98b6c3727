// The user agreement and the privacy policy, shown in the two agreement windows.
// GBK-safe text, each line ended by CR LF as a multi-line text box wants it.
#pragma once

#include "forms/Form.h"

namespace legal {

extern const wchar_t UserAgreement[];
extern const wchar_t PrivacyPolicy[];

// The read-only, scrollable text box both windows show their text in.
ui::Control textWindow(const wchar_t* text);

}  // namespace legal
