// The score editor: the score in a text box with a line-number gutter beside it, New,
// Open and Save of .sop files, rendering of the score to a WAV file through the
// outside batch file, the AI button, AI续写 (Ctrl+J) that continues the score at the
// caret, and F5 to hear the score (or the selected part, or from the caret on) with the
// sounding note marked. Every change to the score can be undone and redone. Its close
// cross returns to the main menu, after asking about changes that were not saved.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "editor/History.h"
#include "editor/Preview.h"
#include "forms/Form.h"
#include "system/System.h"

class FormEditor : public ui::Form {
public:
    FormEditor();

    // The gutter: the number of lines of the score (CR LF pairs + 1, none when empty).
    size_t lineCount() const { return lineCount_; }
    // Whether F5's preview is playing.
    bool playing() const { return sound_ != nullptr; }

    // The rendering started here has ended: the status line says how.
    void renderingEnded(bool succeeded);

    // Where the open and save dialogs start and the name the save dialog offers: the
    // score last saved or opened while the program runs, or the works folder.
    struct LastScore {
        std::wstring folder, name;
    };
    static LastScore lastScore;

    const editor::History& history() const { return history_; }

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    bool Form_KeyDown(UINT key, bool ctrl) override;
    void Form_QueryUnload() override { ImageUN_Click(); }
    void TextBox_Change(const std::wstring& name) override;
    void Timer1_Timer();
    void TimerZT_Timer();
    void TimerPlay_Timer();
    void ImageAi_Click();
    void ImageAIXX_Click();
    void ImageNEW_Click();
    void ImageOPEN_Click();
    void ImageSAVE_Click();
    void ImageWAV_Click();
    void ImageUN_Click();
    void ImageMIDI_Click();

    void aiRun();
    void showWaiting(unsigned waited);
    void aiFailed(const std::wstring& cause);
    void showStatus(const std::wstring& status);
    std::wstring idleStatus() const;
    void showOutcome(const std::wstring& status);
    bool confirmReset();
    bool save();
    void markUnchanged();
    bool changed() const;
    void renderingFailed(const std::wstring& cause);
    sys::FileDialog scoreDialog(std::wstring title, std::wstring filter, bool offerName) const;
    void remember(const std::wstring& file);

    // Undo: the history sees every change as the difference to the text it knew.
    void catchUp(bool typed);
    void undo();
    void redo();
    void apply(const editor::Edit& change);
    static LRESULT CALLBACK txtCodeProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

    void startPreview(bool fromCaret);
    void stopPreview(bool restoreSelection = true);
    void followPlayback();

    unsigned gutterChanges_ = ~0u;   // the text's change count the gutter was built for
    size_t gutterTop_ = ~size_t{0};  // and the first character on screen
    size_t lineCount_ = 0;
    std::wstring unchangedText_;  // the text as loaded, opened or saved
    std::wstring scoreFile_;      // the file the score was opened from or saved to; empty for none

    editor::History history_;
    std::wstring known_;     // the text as the history last saw it
    bool typing_ = false;    // the last key pressed types or deletes
    bool applying_ = false;  // an undo or redo is changing the text

    std::unique_ptr<sys::Sound> sound_;
    unsigned playedChanges_ = 0;  // the text's change count when the preview started
    std::vector<preview::Note> notes_;
    std::vector<uint64_t> noteStarts_;   // where each note starts in the sound
    size_t marked_ = ~size_t{0};         // the note marked as sounding, none yet
    DWORD userStart_ = 0, userEnd_ = 0;  // the selection before playing, given back at its end
    LRESULT userTop_ = 0;                // and the first line on screen
    std::wstring playStatus_;
};
