// The score editor: the score in a text box with a line-number gutter beside it, New,
// Open and Save of .sop files, rendering of the score to a WAV file through the
// outside batch file, the AI button, and F5 to hear the score. Its close cross returns
// to the main menu, after asking about changes that were not saved.
#pragma once

#include <memory>
#include <string>

#include "forms/Form.h"
#include "system/System.h"

class FormEditor : public ui::Form {
public:
    FormEditor();

    // The characters of a text that a GBK file cannot hold, each once, in order.
    static std::wstring outsideGbk(std::wstring_view text);

    // The gutter: the number of lines of the score (CR LF pairs + 1, none when empty).
    size_t lineCount() const { return lineCount_; }
    // Whether F5's preview is playing.
    bool playing() const { return sound_ != nullptr; }

    // The rendering started here has ended: the status line says how.
    void renderingEnded(bool succeeded);

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    bool Form_KeyDown(UINT key, bool ctrl) override;
    void Form_QueryUnload() override { ImageUN_Click(); }
    void Timer1_Timer();
    void TimerZT_Timer();
    void TimerPlay_Timer();
    void ImageAi_Click();
    void ImageNEW_Click();
    void ImageOPEN_Click();
    void ImageSAVE_Click();
    void ImageWAV_Click();
    void ImageUN_Click();
    void ImageMIDI_Click();

    void aiRun();
    void showStatus(const std::wstring& status);
    std::wstring idleStatus() const;
    void showOutcome(const std::wstring& status);
    bool confirmReset();
    bool save();
    void markUnchanged();
    bool changed() const;
    void renderingFailed(const std::wstring& cause);
    void startPreview();
    void stopPreview();

    unsigned gutterChanges_ = ~0u;   // the text's change count the gutter was built for
    size_t gutterTop_ = ~size_t{0};  // and the first character on screen
    size_t lineCount_ = 0;
    std::wstring unchangedText_;  // the text as loaded, opened or saved
    std::wstring scoreFile_;      // the file the score was opened from or saved to; empty for none

    std::unique_ptr<sys::Sound> sound_;
    unsigned playedChanges_ = 0;  // the text's change count when the preview started
    std::wstring statusBeforePlay_;
};
