// The about window and the two agreement windows: sizes, the close cross, the
// read-only text that stays put when the frame grows, and the legal texts themselves.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "WindowTest.h"
#include "forms/Program.h"
#include "startup/FormABOUT.h"
#include "startup/FormYHXY.h"
#include "startup/FormYSZC.h"
#include "startup/LegalTexts.h"

namespace {

using InformationWindows = WindowTest<FormABOUT, FormYHXY, FormYSZC>;

HWND textBox(const ui::Form& form) {
    return GetWindow(form.hwnd(), GW_CHILD);
}

RECT rectIn(const ui::Form& form, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The lines of a text whose every line ends in CR LF; a stray CR or LF fails the test.
std::vector<std::wstring> linesOf(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t from = 0;
    while (from < text.size()) {
        const size_t end = text.find(L"\r\n", from);
        if (end == std::wstring::npos) {
            ADD_FAILURE() << "the last line has no CR LF";
            break;
        }
        lines.push_back(text.substr(from, end - from));
        EXPECT_EQ(lines.back().find_first_of(L"\r\n"), std::wstring::npos) << "line " << lines.size();
        from = end + 2;
    }
    return lines;
}

template <class T>
void checkAgreementWindow(const wchar_t* caption, const wchar_t* text) {
    SCOPED_TRACE(testing::Message() << static_cast<const void*>(caption));
    T& window = ui::show<T>();
    EXPECT_EQ(windowText(window.hwnd()), caption);
    EXPECT_EQ(window.clientSize().cx, 721);
    EXPECT_EQ(window.clientSize().cy, 478);
    const LONG_PTR style = GetWindowLongPtrW(window.hwnd(), GWL_STYLE);
    EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) && (style & WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongPtrW(window.hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(SendMessageW(window.hwnd(), WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(SendMessageW(window.hwnd(), WM_GETICON, ICON_BIG, 0), 0);

    const HWND box = textBox(window);
    ASSERT_NE(box, nullptr);
    const RECT stored = rectIn(window, box);
    EXPECT_EQ(stored.left, 0);
    EXPECT_EQ(stored.top, 0);
    EXPECT_EQ(stored.right, 721);
    EXPECT_EQ(stored.bottom, 481);
    const LONG_PTR boxStyle = GetWindowLongPtrW(box, GWL_STYLE);
    EXPECT_TRUE((boxStyle & ES_MULTILINE) && (boxStyle & ES_READONLY) && (boxStyle & WS_VSCROLL));
    EXPECT_TRUE(windowText(box) == text) << "the whole legal text, unchanged";

    // Every line fits the box's width in the box's font: no reading sideways.
    RECT format{};
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    HDC dc = GetDC(box);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
    for (const std::wstring& line : linesOf(text)) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &extent);
        EXPECT_LE(extent.cx, format.right - format.left) << "too wide: " << testing::PrintToString(line);
    }
    SelectObject(dc, previous);
    ReleaseDC(box, dc);

    // Typing and deleting change nothing; the text can still be selected.
    SetFocus(box);
    SendMessageW(box, EM_SETSEL, 0, 5);
    SendMessageW(box, WM_CHAR, L'x', 0);
    SendMessageW(box, WM_KEYDOWN, VK_DELETE, 0);
    SendMessageW(box, WM_CHAR, VK_BACK, 0);
    SendMessageW(box, WM_CUT, 0, 0);
    EXPECT_TRUE(windowText(box) == text) << "the whole legal text, unchanged";
    DWORD start = 0, end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end - start, 5u);

    // A larger frame leaves the text box where and as large as it was.
    SetWindowPos(window.hwnd(), nullptr, 0, 0, 1100, 900, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GT(window.clientSize().cx, 721);
    const RECT after = rectIn(window, box);
    EXPECT_TRUE(EqualRect(&after, &stored));
    window.unload();
}

}  // namespace

TEST_F(InformationWindows, AboutKeepsItsStoredSizeAndClosesOnlyByItsCross) {
    FormABOUT& about = ui::show<FormABOUT>();
    EXPECT_EQ(about.caption(), L"关于");
    EXPECT_EQ(about.clientSize().cx, 858) << "3 pixels of the picture are cut off";
    EXPECT_EQ(about.clientSize().cy, 612);
    for (POINT at : {POINT{400, 300}, POINT{586, 400}, POINT{800, 60}, POINT{840, 44}, POINT{820, 20}})
        clickAt(about, at.x, at.y);
    EXPECT_TRUE(ui::isOpen<FormABOUT>());
    clickMiddle(about, L"ImageU");
    EXPECT_FALSE(ui::isOpen<FormABOUT>());
}

TEST_F(InformationWindows, AgreementWindowsShowTheirTextReadOnlyAtTheStoredSize) {
    checkAgreementWindow<FormYHXY>(L"Orvane用户协议", legal::UserAgreement);
    checkAgreementWindow<FormYSZC>(L"Orvane隐私政策", legal::PrivacyPolicy);
}

TEST(LegalTexts, AreGbkTextInCrLfLines) {
    for (const std::wstring text : {legal::UserAgreement, legal::PrivacyPolicy}) {
        BOOL lost = FALSE;
        const int bytes = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, text.c_str(),
                                              static_cast<int>(text.size()), nullptr, 0, nullptr, &lost);
        EXPECT_FALSE(lost) << "every character exists in code page 936";
        EXPECT_GT(bytes, 900);
        EXPECT_FALSE(linesOf(text).empty());
        EXPECT_NE(text.find(L"青石软件"), std::wstring::npos);
    }
}
