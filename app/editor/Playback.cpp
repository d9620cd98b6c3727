#include "editor/Playback.h"

#include "system/Paths.h"

namespace editor {

std::optional<Playback::Refusal> Playback::start(HWND box, std::wstring_view score, bool fromCaret) {
    DWORD start = 0, end = 0;
    if (box) SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    // A selection plays its notes; Ctrl+F5 from the caret (or the selection's start) on.
    const bool part = fromCaret || start != end;
    std::vector<preview::Note> notes =
        preview::notesIn(score, part ? start : 0, part && !fromCaret ? end : score.size());
    if (part && notes.empty()) return Refusal{fromCaret ? L"光标之后没有音符" : L"选中的部分没有音符", true};
    const std::wstring digits = preview::digitsOf(notes);
    std::wstring failure;
    auto samples = preview::loadSamples(sys::inProgramFolder(L"wav"), digits, failure);
    if (!samples) return Refusal{failure};
    std::vector<uint64_t> starts = preview::noteStarts(digits, *samples);
    uint32_t error = 0;
    sound_ = sys::system().play(
        preview::source(digits, std::make_shared<const preview::Samples>(std::move(*samples))), error);
    if (!sound_) return Refusal{L"无法播放：没有可用的声音输出设备（" + sys::describe(error) + L"）。"};
    notes_ = std::move(notes);
    noteStarts_ = std::move(starts);
    marked_ = ~size_t{0};
    userStart_ = start;
    userEnd_ = end;
    userTop_ = box ? SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0) : 0;
    return std::nullopt;
}

// The mark only moves on: an output that is stopped reports its position as 0 again.
size_t Playback::follow(HWND box) {
    if (notes_.empty()) return 0;
    const size_t now = preview::noteAt(noteStarts_, sound_->position());
    if (marked_ != ~size_t{0} && now <= marked_) return 0;
    const bool newLine = marked_ == ~size_t{0} || notes_[marked_].line != notes_[now].line;
    marked_ = now;
    const preview::Note& note = notes_[now];
    if (box) {
        SendMessageW(box, EM_SETSEL, note.at, note.at + 1);
        SendMessageW(box, EM_SCROLLCARET, 0, 0);
    }
    return newLine ? note.line : 0;
}

// The caret and selection go back where the user left them, and the score to the lines
// they looked at; a click that ends the preview places the caret itself.
void Playback::stop(HWND box, bool restoreSelection) {
    sound_.reset();
    if (box && restoreSelection && marked_ != ~size_t{0}) {
        SendMessageW(box, EM_SETSEL, userStart_, userEnd_);
        const LRESULT top = SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0);
        SendMessageW(box, EM_LINESCROLL, 0, userTop_ - top);
    }
    notes_.clear();
    noteStarts_.clear();
    marked_ = ~size_t{0};
}

}  // namespace editor
