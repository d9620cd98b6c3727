// The score editor: the score in a text box with a line-number gutter beside it, New,
// Open and Save of .sop files, rendering of the score to a WAV file through the
// outside batch file, and the AI button. Its close cross returns to the main menu.
#pragma once

#include <string>
#include <vector>

#include "forms/Form.h"
#include "system/System.h"

class FormEditor : public ui::Form {
public:
    FormEditor();

    // The folder that receives the rendered pieces, "C:\Orvane\OutputWAV"; rendering
    // reports success only once a new WAV file has landed there. Tests point it elsewhere.
    static std::wstring outputFolder;

    // The score's note digits, ASCII "0" to "7", in reading order.
    static std::wstring noteDigits(std::wstring_view score);
    // "files[1], files[2], files[3]" for the digits "123".
    static std::wstring sampleList(std::wstring_view digits);
    // The script template with every placeholder replaced by the sample list.
    static std::wstring joiningScript(std::wstring_view scriptTemplate, std::wstring_view list);

    // The gutter: the number of lines of the score (CR LF pairs + 1, none when empty),
    // of which the label lists as many as fit.
    size_t lineCount() const { return lineCount_; }

    // Whether a rendering started by 生成WAV文件 is still being watched.
    bool rendering() const { return watching_; }

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    void Timer1_Timer();
    void TimerWAV_Timer();
    void ImageAi_Click();
    void ImageNEW_Click();
    void ImageOPEN_Click();
    void ImageSAVE_Click();
    void ImageWAV_Click();
    void ImageUN_Click();

    void aiRun();
    void showStatus(const std::wstring& status);
    bool confirmReset();
    void renderingFailed(const std::wstring& cause);

    unsigned gutterChanges_ = ~0u;  // the text's change count the gutter was built for
    size_t lineCount_ = 0;

    // The running rendering: the batch file's process and the output folder before it.
    sys::Started batch_;
    bool watching_ = false;
    std::vector<std::pair<std::wstring, unsigned long long>> outputBefore_;
};
