// The main menu, the hub of the program: tiles for AI composition, the editor, the
// finished pieces, the settings and the about texts, drawn in one picture per theme
// with click areas over the tiles. It stays open under the windows it opens, except
// the editor, which takes its place.
#pragma once

#include <string>

#include "forms/Form.h"

class Formmain : public ui::Form {
public:
    Formmain();

    // The file explorer of the Windows folder.
    static std::wstring explorerPath();

private:
    static const ui::FormLayout layout;
    void Form_Load() override;
    void ImageAi_Click();
    void ImageABOUT_Click();
    void ImageEDITOR_Click();
    void ImageWDZP_Click();
    void ImageSET_Click();
    void ImageU_Click();
    void ImageYHXY_Click();
    void ImageYSZC_Click();
};
