// F5's preview as the score box shows it: the notes of the selection, or from the caret
// on, or of the whole score, played through the sound output, with the note that sounds
// selected and kept in view. When it stops, the user's selection, caret and scroll come
// back. The window around it keeps the status line and the timer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/Preview.h"
#include "system/System.h"

namespace editor {

class Playback {
public:
    // Why playing did not start: `quiet` for the status line (a part without notes),
    // otherwise for a message box.
    struct Refusal {
        std::wstring text;
        bool quiet = false;
    };
    // Plays the notes of the box's selection, from its caret on with `fromCaret`, or of
    // the whole score when nothing is selected.
    std::optional<Refusal> start(HWND box, std::wstring_view score, bool fromCaret);
    // Marks the note the output reports as sounding. The line of the score it is on when
    // the mark moved to another line, else 0.
    size_t follow(HWND box);
    void stop(HWND box, bool restoreSelection);

    bool playing() const { return sound_ != nullptr; }
    bool finished() const { return sound_->finished(); }
    std::wstring failure() const { return sound_->failure(); }

private:
    std::unique_ptr<sys::Sound> sound_;
    std::vector<preview::Note> notes_;
    std::vector<uint64_t> noteStarts_;   // where each note starts in the sound
    size_t marked_ = ~size_t{0};         // the note marked as sounding, none yet
    DWORD userStart_ = 0, userEnd_ = 0;  // the selection before playing, given back at its end
    LRESULT userTop_ = 0;                // and the first line on screen
};

}  // namespace editor
