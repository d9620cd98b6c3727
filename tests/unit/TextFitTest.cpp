// Every text a window shows fits its box, in whichever Chinese family draws it: each
// label with each text it can show, and a line of its font in each one-line text box.
// tools/test runs these again with every Chinese face drawn in Noto Sans CJK (fonts.noto).
#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>

#include "WindowTest.h"
#include "account/FormLOGIN.h"
#include "account/FormSET.h"
#include "editor/FormEditor.h"
#include "forms/Program.h"
#include "setup/Formset3.h"
#include "system/Scoped.h"

namespace {

struct TextFit : EditorWindowTest<FormLOGIN, FormSET, Formset3> {
    void SetUp() override {
        EditorWindowTest::SetUp();
        folder.put(L"notice.exe", "MZ");
        system.environmentValues = {{L"USERNAME", L"张三"}};
    }
};

// What the text needs, drawn as the window draws the label (wrapped inside its width).
SIZE needed(HDC dc, const ui::Control& c, LONG width) {
    RECT r{0, 0, width, 0};
    DrawTextW(dc, c.text.c_str(), static_cast<int>(c.text.size()), &r,
              DT_CALCRECT | DT_NOPREFIX | (c.wordWrap ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE));
    return {r.right, r.bottom};
}

void checkFits(const ui::Form& form) {
    const sys::WindowDc dc(form.hwnd());
    for (const ui::Control& c : form.controls()) {
        if (!c.visible || !c.hfont) continue;
        const RECT box = form.pixelRect(c.name);
        const LONG width = box.right - box.left, height = box.bottom - box.top;
        sys::Selection selected(dc, c.hfont);
        SCOPED_TRACE(testing::PrintToString(form.caption() + L" " + c.name + L" " + c.text));
        if (c.kind == ui::Kind::Label && !c.fitLines && !c.autoSize) {
            const SIZE size = needed(dc, c, width);
            EXPECT_LE(size.cx, width) << "too wide";
            EXPECT_LE(size.cy, height) << "cut off below";
        } else if (c.kind == ui::Kind::TextBox && !c.multiLine) {
            TEXTMETRICW metrics{};
            GetTextMetricsW(dc, &metrics);
            RECT inside{};
            GetClientRect(c.edit, &inside);
            EXPECT_LE(metrics.tmHeight, inside.bottom) << "a line of the box's font is cut off below";
        }
    }
}

}  // namespace

TEST_F(TextFit, TheEditorsLabelsHoldEveryStatus) {
    FormEditor& editor = ui::show<FormEditor>();
    checkFits(editor);
    for (const wchar_t* status : {L"就绪", L"Ai思考中", L"完毕！", L"正在生成WAV…", L"播放中…（Esc停止）",
                                  L"WAV文件已生成", L"生成WAV失败"}) {
        editor.setText(L"LabelZT", status);
        checkFits(editor);
    }
}

TEST_F(TextFit, EntryBoxesHoldALineOfTheirFont) {
    checkFits(ui::show<FormLOGIN>());
    checkFits(ui::show<FormSET>());
    checkFits(ui::show<Formset3>());
}
