// A failure that a handler cannot go on from (a window that cannot be created, a
// picture that cannot be loaded, a text that cannot be converted): thrown with a plain
// Chinese text that names what failed. The forms layer catches it where a message
// enters a window, shows the text and ends the program.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace sys {

// What a service could not do, in the words a window shows the user; nothing when it
// did it. The service shows nothing: the window that asked decides what the user sees
// and whether the program goes on.
using Cause = std::optional<std::wstring>;

class Failure : public std::runtime_error {
public:
    explicit Failure(std::wstring text) : std::runtime_error("failure"), text_(std::move(text)) {}
    const std::wstring& text() const { return text_; }

private:
    std::wstring text_;
};

// What a System that cannot end the process (a test's) throws from endNow, so that no
// further code of the handler runs, as after the real end.
struct Ended {};

}  // namespace sys
