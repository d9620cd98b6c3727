// The notice window: what it reads from the request files (the line rules of the
// state files), its clock, where and how it shows, and how it ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <filesystem>
#include <vector>

#include "BadFiles.h"
#include "FakeSystem.h"
#include "forms/Program.h"
#include "install/FormE.h"
#include "notice/Form1.h"
#include "system/Scoped.h"
#include "text/Gbk.h"

namespace {

struct Notice : ::testing::Test {
    FakeSystem system;
    TempFolder folder;

    void SetUp() override { ui::initialise(L"notice"); }
    void TearDown() override {
        if (auto* open = ui::find<notice::Form1>()) open->unload();
        if (auto* open = ui::find<FormE>()) open->unload();
        ui::collect();
    }
    void request(const std::string& title, const std::string& text) {
        folder.put(L"title.une", title);
        folder.put(L"text.une", text);
    }
};

std::string gbk(const wchar_t* text) {
    return text::toGbk(text);
}

}  // namespace

TEST(NoticeClock, HourWithoutLeadingZeroMinutesInTwoDigits) {
    EXPECT_EQ(notice::clockText({9, 5}), L"9:05");
    EXPECT_EQ(notice::clockText({0, 0}), L"0:00");
    EXPECT_EQ(notice::clockText({7, 3}), L"7:03");
    EXPECT_EQ(notice::clockText({12, 10}), L"12:10");
    EXPECT_EQ(notice::clockText({20, 24}), L"20:24");
    EXPECT_EQ(notice::clockText({23, 59}), L"23:59");
}

TEST_F(Notice, ShowsTheFirstLineOfEachRequestFileAndTheClock) {
    request(gbk(L"第一行\r\n第二行\r\n第三行\r\n"), gbk(L"正文\n同一行\r下一行"));
    system.now = {9, 5};
    notice::Form1& form = ui::show<notice::Form1>();
    ASSERT_TRUE(form.loaded());
    EXPECT_EQ(form.text(L"Label1"), L"第一行");
    EXPECT_EQ(form.text(L"Label2"), L"正文\n同一行") << "a lone LF stays inside the line";
    EXPECT_EQ(form.text(L"Label3"), L"9:05");
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(Notice, AnEmptyFirstLineShowsNothingButIsNoFailure) {
    request("\r\nsecond\r\n", gbk(L"只有一行，没有行尾"));
    notice::Form1& form = ui::show<notice::Form1>();
    ASSERT_TRUE(form.loaded());
    EXPECT_EQ(form.text(L"Label1"), L"");
    EXPECT_EQ(form.text(L"Label2"), L"只有一行，没有行尾");
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(Notice, AMissingOrEmptyRequestFileIsReportedAndNothingShows) {
    struct Case {
        const char* what;
        std::wstring file;  // the file the message must name
        void (*prepare)(const TempFolder&);
    };
    const Case cases[] = {
        {"no title", L"title.une", [](const TempFolder& f) { DeleteFileW(f.file(L"title.une").c_str()); }},
        {"no text", L"text.une", [](const TempFolder& f) { DeleteFileW(f.file(L"text.une").c_str()); }},
        {"empty title", L"title.une", [](const TempFolder& f) { f.put(L"title.une", ""); }},
        {"empty text", L"text.une", [](const TempFolder& f) { f.put(L"text.une", ""); }},
        {"text is a folder", L"text.une",
         [](const TempFolder& f) {
             DeleteFileW(f.file(L"text.une").c_str());
             CreateDirectoryW(f.file(L"text.une").c_str(), nullptr);
         }},
    };
    for (const Case& c : cases) {
        request("title\r\n", "text\r\n");
        c.prepare(folder);
        system.messages.clear();
        ui::show<notice::Form1>();
        EXPECT_FALSE(ui::isOpen<notice::Form1>()) << c.what << ": the program ends without a pop-up";
        ASSERT_EQ(system.messages.size(), 1u) << c.what;
        EXPECT_NE(system.messages[0].text.find(folder.file(c.file)), std::wstring::npos)
            << c.what << ": " << text::toGbk(system.messages[0].text);
        EXPECT_EQ(system.messages[0].icon, sys::Icon::Error);
        RemoveDirectoryW(folder.file(L"text.une").c_str());
        ui::collect();
    }
}

TEST_F(Notice, ShowsTopmostAtItsFixedPlaceWithoutTakingTheFocus) {
    request("title\r\n", "text\r\n");
    // The foreground is shared with the tests that run beside this one: what is checked is
    // that the pop-up never takes it, not which window holds it.
    ui::show<FormE>();  // stands for the main program's window in front

    notice::Form1& form = ui::show<notice::Form1>();
    RECT at{};
    GetWindowRect(form.hwnd(), &at);
    EXPECT_EQ(at.left, 1111);
    EXPECT_EQ(at.top, 732);
    EXPECT_EQ(at.right - at.left, 345) << "the size of the picture";
    EXPECT_EQ(at.bottom - at.top, 99);
    EXPECT_TRUE(IsWindowVisible(form.hwnd()));
    EXPECT_TRUE(GetWindowLongPtrW(form.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(GetForegroundWindow(), form.hwnd());
    EXPECT_NE(GetActiveWindow(), form.hwnd());
    EXPECT_TRUE(GetWindowLongPtrW(form.hwnd(), GWL_EXSTYLE) & WS_EX_NOACTIVATE);
}

TEST_F(Notice, EndsWithItsTimerAndLeavesTheRequestAsItWas) {
    const std::string title = gbk(L"标题\r\n第二行\r\n"), body = gbk(L"正文\r\n");
    request(title, body);
    notice::popUp();
    notice::Form1& form = *ui::find<notice::Form1>();
    EXPECT_TRUE(IsWindowVisible(form.hwnd()));
    EXPECT_TRUE(form.control(L"Timer1").enabled) << "the timer runs once the panel shows";
    EXPECT_EQ(form.control(L"Timer1").interval, 3000u);
    form.fire(L"Timer1");
    EXPECT_FALSE(ui::isOpen<notice::Form1>());
    EXPECT_EQ(ui::openCount(), 0u) << "its only window: the program ends";
    EXPECT_EQ(folder.bytes(L"title.une"), title);
    EXPECT_EQ(folder.bytes(L"text.une"), body);
    size_t files = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(folder.path())) ++files;
    EXPECT_EQ(files, 2u) << "notice writes no file";
}

// Request files of any content: the pop-up shows the first lines, or a message says
// that a file is empty; nothing crashes or hangs.
TEST_F(Notice, RequestFilesOfAnyContentShowOrAreReported) {
    BadFiles bad("title.une, text.une");
    for (int i = 0; i <= BadFiles::kCases; ++i) {
        const std::string title = i < BadFiles::kCases ? bad.next(i) : BadFiles::tenMegabytes('T');
        const std::string body = i < BadFiles::kCases ? bad.next(i + 1) : BadFiles::tenMegabytes('B');
        request(title, body);
        system.messages.clear();
        notice::popUp();
        const bool shown = ui::isOpen<notice::Form1>();
        EXPECT_EQ(shown, !title.empty() && !body.empty()) << "case " << i;
        EXPECT_EQ(system.messages.size(), shown ? 0u : 1u) << "case " << i;
        if (shown) {
            notice::Form1& form = *ui::find<notice::Form1>();
            EXPECT_EQ(form.text(L"Label1"), text::fromGbk(BadFiles::firstLine(title))) << "case " << i;
            UpdateWindow(form.hwnd());
            form.unload();
        }
        ui::collect();
    }
}

namespace {
std::vector<HWND> alerts;
void CALLBACK noteAlert(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (object == OBJID_CLIENT) alerts.push_back(window);
}
}  // namespace

TEST_F(Notice, IsReadOutAsAnAlertWithItsTextsAndLeavesTheFocus) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // for the object: kept for the program's life
    alerts.clear();
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr, noteAlert,
                                               GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    request(gbk(L"通知\r\n"), gbk(L"已为您自动选择洁白主题\r\n"));
    system.now = {20, 24};
    notice::Form1& form = ui::show<notice::Form1>();
    MSG message;
    for (int i = 0; i < 50 && alerts.empty(); ++i) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
    UnhookWinEvent(hook);
    EXPECT_EQ(alerts, std::vector<HWND>{form.hwnd()});

    sys::Com<IAccessible> client;
    ASSERT_EQ(AccessibleObjectFromWindow(form.hwnd(), OBJID_CLIENT, IID_IAccessible,
                                         reinterpret_cast<void**>(client.put())),
              S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role{};
    EXPECT_EQ(client->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_ALERT);
    BSTR description = nullptr;
    EXPECT_EQ(client->get_accDescription(self, &description), S_OK);
    EXPECT_EQ(std::wstring(description ? description : L""), L"通知\n已为您自动选择洁白主题\n20:24");
    SysFreeString(description);
    EXPECT_FALSE(GetWindowLongPtrW(form.hwnd(), GWL_STYLE) & WS_SYSMENU)
        << "no window menu: it never has the focus";
}
