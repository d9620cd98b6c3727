// The undo history bound to the score box. It sees each change as the difference to the
// text it knew, found around the caret, and puts a step back into the box as the part
// that changed or, where much changed, as the whole text. The box's own single undo is
// emptied after each change, so that it cannot take back steps behind the history.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "editor/History.h"

namespace editor {

class Undo {
public:
    // Sets the box's whole text as the window does, so that the window counts the change.
    using SetWhole = std::function<void(const std::wstring&)>;
    explicit Undo(SetWhole setWhole) : setWhole_(std::move(setWhole)) {}

    // A fresh history of this text.
    void reset(std::wstring text);
    // Records what changed since the history last looked; `now` is the box's text.
    void catchUp(HWND box, std::wstring_view now, bool typed);
    void undo(HWND box);
    void redo(HWND box);
    // An undo or redo is changing the text: its notices of change are not the user's.
    bool applying() const { return applying_; }
    const History& history() const { return history_; }

private:
    void apply(HWND box, const Edit& change);

    SetWhole setWhole_;
    History history_;
    std::wstring known_;  // the text as the history last saw it
    bool applying_ = false;
};

}  // namespace editor
