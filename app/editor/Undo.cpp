#include "editor/Undo.h"

namespace editor {

namespace {

// Above this many characters an undo or redo sets the whole text.
constexpr size_t kLargestPartReplaced = 4096;

}  // namespace

void Undo::reset(std::wstring text) {
    known_ = std::move(text);
    history_.clear();
}

void Undo::catchUp(HWND box, std::wstring_view now, bool typed) {
    if (now == known_) return;
    DWORD caret = 0;
    if (box) SendMessageW(box, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    Change change = difference(known_, now, caret);
    if (change.empty()) return;
    known_.replace(change.at, change.removed.size(), change.inserted);
    const bool keyWorth =
        change.inserted.size() <= 2 && (!change.inserted.empty() || change.removed.size() <= 2);
    history_.record(std::move(change), typed && keyWorth);
    if (box) SendMessageW(box, EM_EMPTYUNDOBUFFER, 0, 0);
}

void Undo::undo(HWND box) {
    if (const auto change = history_.undo()) apply(box, *change);
}

void Undo::redo(HWND box) {
    if (const auto change = history_.redo()) apply(box, *change);
}

// Only the part that changed is replaced, which keeps the scroll position, or the whole
// text at once where much changed (an AI score, New): the box takes a large text faster
// in one piece than as a replaced part.
void Undo::apply(HWND box, const Edit& change) {
    applying_ = true;
    if (!box || change.removed.size() + change.inserted.size() > kLargestPartReplaced) {
        std::wstring whole;
        whole.reserve(known_.size() - change.removed.size() + change.inserted.size());
        whole.append(known_, 0, change.at)
            .append(change.inserted)
            .append(known_, change.at + change.removed.size());
        setWhole_(whole);
    } else {
        SendMessageW(box, EM_SETSEL, change.at, change.at + change.removed.size());
        const std::wstring part(change.inserted);
        SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(part.c_str()));
    }
    applying_ = false;
    known_.replace(change.at, change.removed.size(), change.inserted);
    if (!box) return;
    SendMessageW(box, EM_EMPTYUNDOBUFFER, 0, 0);
    const size_t caret = change.at + change.inserted.size();
    SendMessageW(box, EM_SETSEL, caret, caret);
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
}

}  // namespace editor
