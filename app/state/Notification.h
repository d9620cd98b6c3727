// A notification request: the title and the text go into title.une and text.une,
// both written and closed, then notice.exe shows them for three seconds.
#pragma once

#include <string>

#include "system/Failure.h"

namespace state {

// Posts the request. A missing notice.exe shows nothing and is no failure here: a window
// that needs it asks install::require. The cause when a file could not be written or
// notice.exe would not start.
sys::Cause postNotification(const std::wstring& title, const std::wstring& text);

}  // namespace state
