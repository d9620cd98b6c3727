// The score editor: the score in a text box with a line-number gutter beside it, New,
// Open and Save of .sop files, rendering of the score to a WAV file through the
// outside batch file, the AI button, AI续写 (Ctrl+J) that continues the score at the
// caret, and F5 to hear the score (or the selected part, or from the caret on) with the
// sounding note marked. Every change to the score can be undone and redone. Its close
// cross returns to the main menu, after asking about changes that were not saved.
#pragma once

#include <string>

#include "editor/History.h"
#include "editor/LastScore.h"
#include "editor/Playback.h"
#include "editor/Undo.h"
#include "forms/Form.h"
#include "system/System.h"

class FormEditor : public ui::Form {
public:
    FormEditor();

    // The gutter: the number of lines of the score (CR LF pairs + 1, none when empty).
    size_t lineCount() const { return lineCount_; }
    // Whether F5's preview is playing.
    bool playing() const { return playback_.playing(); }

    // Where the open and save dialogs start and the name the save dialog offers: the
    // score last saved or opened while the program runs, or the works folder.
    using LastScore = editor::LastScore;
    static LastScore lastScore;

    const editor::History& history() const { return undo_.history(); }

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
    static void renderingEnded(const sys::Cause& failure);

    // Undo: the history sees every change as the difference to the text it knew.
    void catchUp(bool typed);
    void undo();
    void redo();
    static LRESULT CALLBACK txtCodeProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

    void startPreview(bool fromCaret);
    void stopPreview(bool restoreSelection = true);
    void followPlayback();

    unsigned gutterChanges_ = ~0u;   // the text's change count the gutter was built for
    size_t gutterTop_ = ~size_t{0};  // and the first character on screen
    size_t lineCount_ = 0;
    std::wstring unchangedText_;  // the text as loaded, opened or saved
    std::wstring scoreFile_;      // the file the score was opened from or saved to; empty for none

    editor::Undo undo_;
    bool typing_ = false;  // the last key pressed types or deletes

    editor::Playback playback_;
    unsigned playedChanges_ = 0;  // the text's change count when the preview started
    std::wstring playStatus_;
};
