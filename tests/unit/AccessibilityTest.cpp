// Every window through the accessibility interface a screen reader uses (oleacc): each
// click area of its table found with its name, role and default action, the action
// running that area's handler, the text boxes named by their labels. Then the keyboard:
// the order of Tab, the arrows between the menu's tiles, Enter and Space, Esc, and the
// focus cue that waits for the keyboard.
#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <string>

#include "FakeSystem.h"
#include "account/FormLOGIN.h"
#include "account/FormSET.h"
#include "editor/FormEditor.h"
#include "forms/Program.h"
#include "install/FormE.h"
#include "setup/Formset0.h"
#include "setup/Formset1.h"
#include "setup/Formset2.h"
#include "setup/Formset3.h"
#include "setup/Formwel.h"
#include "startup/FormABOUT.h"
#include "startup/FormYHXY.h"
#include "startup/FormYSZC.h"
#include "startup/Formlauncher.h"
#include "startup/Formmain.h"
#include "system/Scoped.h"

namespace {

// A window of T's table whose loading does nothing, with two handlers to put in place
// of the table's: which one ran tells which area the action reached.
template <class T>
class Probe : public T {
public:
    void hit() { ++hits; }
    void other() { ++others; }
    int hits = 0, others = 0;

    // Every click area runs `other`, the named one `hit`.
    void aim(const ui::Control& target) {
        for (const ui::Control& c : this->controls())
            if (c.kind == ui::Kind::ClickArea)
                this->control(c.name).handler =
                    static_cast<ui::Handler>(&c == &target ? &Probe::hit : &Probe::other);
        hits = others = 0;
    }

private:
    void Form_Load() override {}
};

// A key as the message loop hands it on.
MSG press(HWND window, WPARAM key) {
    MSG message{};
    message.hwnd = window;
    message.message = WM_KEYDOWN;
    message.wParam = key;
    return message;
}

VARIANT child(long id) {
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::wstring taken(BSTR text) {
    std::wstring value = text ? std::wstring(text, SysStringLen(text)) : L"";
    SysFreeString(text);
    return value;
}

std::wstring nameOf(IAccessible* object, long id) {
    BSTR name = nullptr;
    object->get_accName(child(id), &name);
    return taken(name);
}

long roleOf(IAccessible* object, long id) {
    VARIANT role{};
    object->get_accRole(child(id), &role);
    return role.vt == VT_I4 ? role.lVal : -1;
}

// Runs what the window has posted to itself (the default action), and nothing else:
// its timers keep still.
void runPosted(HWND window) {
    MSG message;
    while (PeekMessageW(&message, window, WM_APP, WM_APP + 0xFF, PM_REMOVE)) DispatchMessageW(&message);
}

struct Accessibility : ::testing::Test {
    FakeSystem system;
    TempFolder folder;
    void SetUp() override {
        ui::initialise(L"奥文Orvane");
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override { CoUninitialize(); }

    // Walks the window's table through its accessible client; returns the names of its
    // click areas in the order a screen reader meets them.
    template <class T>
    std::vector<std::wstring> walk() {
        auto& form = ui::show<Probe<T>>();
        std::vector<std::wstring> names;
        sys::Com<IAccessible> client;
        EXPECT_EQ(AccessibleObjectFromWindow(form.hwnd(), OBJID_CLIENT, IID_IAccessible,
                                             reinterpret_cast<void**>(client.put())),
                  S_OK);
        if (!client.get()) {
            form.unload();
            return names;
        }
        EXPECT_EQ(nameOf(client.get(), CHILDID_SELF), form.caption()) << "the window's title";
        long count = 0;
        EXPECT_EQ(client->get_accChildCount(&count), S_OK);
        const std::vector<size_t> order = form.focusOrder();
        EXPECT_EQ(static_cast<size_t>(count), order.size());
        size_t areas = 0;
        for (const ui::Control& c : form.controls()) areas += c.kind == ui::Kind::ClickArea;

        for (long id = 1; id <= count && static_cast<size_t>(id) <= order.size(); ++id) {
            const ui::Control& c = form.controls()[order[static_cast<size_t>(id) - 1]];
            if (c.kind == ui::Kind::TextBox) {
                sys::Com<IDispatch> dispatch;
                EXPECT_EQ(client->get_accChild(child(id), dispatch.put()), S_OK) << c.name;
                sys::Com<IAccessible> box;
                if (!dispatch.get() ||
                    dispatch->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(box.put())) != S_OK) {
                    ADD_FAILURE() << c.name << " has no object";
                    continue;
                }
                EXPECT_EQ(roleOf(box.get(), CHILDID_SELF), ROLE_SYSTEM_TEXT) << c.name;
                if (!c.readOnly) {
                    EXPECT_NE(nameOf(box.get(), CHILDID_SELF), L"") << c.name << " has its label";
                }
                if (!c.accessibleName.empty()) {
                    EXPECT_EQ(nameOf(box.get(), CHILDID_SELF), c.accessibleName) << c.name;
                }
                // Asked of the edit control itself, as after its focus event, it says the same.
                sys::Com<IAccessible> direct;
                EXPECT_EQ(AccessibleObjectFromWindow(c.edit, OBJID_CLIENT, IID_IAccessible,
                                                     reinterpret_cast<void**>(direct.put())),
                          S_OK);
                if (direct.get()) {
                    EXPECT_EQ(nameOf(direct.get(), CHILDID_SELF), nameOf(box.get(), CHILDID_SELF));
                }
                continue;
            }
            --areas;
            const std::wstring name = nameOf(client.get(), id);
            names.push_back(name);
            EXPECT_NE(name, L"") << c.name;
            EXPECT_EQ(name, c.accessibleName) << c.name;
            const bool link = c.role == ui::Role::Link;
            EXPECT_EQ(roleOf(client.get(), id), link ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_PUSHBUTTON) << c.name;
            BSTR action = nullptr;
            EXPECT_EQ(client->get_accDefaultAction(child(id), &action), S_OK) << c.name;
            EXPECT_EQ(taken(action), link ? L"跳转" : L"按下") << c.name;
            // Where it is on the screen: the area's place in the window.
            long x = 0, y = 0, width = 0, height = 0;
            EXPECT_EQ(client->accLocation(&x, &y, &width, &height, child(id)), S_OK);
            RECT area = form.pixelRect(c.name);
            MapWindowPoints(form.hwnd(), nullptr, reinterpret_cast<POINT*>(&area), 2);
            EXPECT_EQ(RECT({x, y, x + width, y + height}).left, area.left) << c.name;
            EXPECT_EQ(x + width, area.right) << c.name;
            EXPECT_EQ(y + height, area.bottom) << c.name;

            form.aim(c);
            EXPECT_EQ(client->accDoDefaultAction(child(id)), S_OK) << c.name;
            EXPECT_EQ(form.hits, 0) << "answered first, run after";
            runPosted(form.hwnd());
            EXPECT_EQ(form.hits, 1) << c.name;
            EXPECT_EQ(form.others, 0) << c.name;
        }
        EXPECT_EQ(areas, 0u) << "every click area of the table is there";
        form.unload();
        ui::collect();
        return names;
    }
};

using Names = std::vector<std::wstring>;

TEST_F(Accessibility, EveryWindowShowsItsClickAreasNamedAsDrawn) {
    EXPECT_EQ(walk<Formmain>(), (Names{L"AI创作", L"关于", L"编辑器", L"我的作品", L"设置", L"Orvane用户协议",
                                       L"Orvane隐私政策", L"关闭"}));
    EXPECT_EQ(walk<FormABOUT>(), Names{L"关闭"});
    EXPECT_EQ(walk<FormEditor>(), (Names{L"通过Ai模型创作", L"新建", L"打开", L"保存", L"生成WAV文件",
                                         L"AI续写", L"导出MIDI", L"关闭"}));
    EXPECT_EQ(walk<FormLOGIN>(), (Names{L"登录", L"取消"}));
    EXPECT_EQ(walk<FormSET>(), (Names{L"明亮主题", L"黑暗主题", L"保存更改", L"点击恢复", L"Orvane用户协议",
                                      L"Orvane隐私政策", L"关闭"}));
    EXPECT_EQ(walk<Formwel>(), Names{L"开始"});
    EXPECT_EQ(walk<Formset1>(), (Names{L"安装python-3.8.10", L"下一步", L"关闭"}));
    EXPECT_EQ(walk<Formset2>(), (Names{L"洁白主题", L"暗黑主题", L"下一步", L"关闭"}));
    EXPECT_EQ(walk<Formset3>(), (Names{L"下一步", L"关闭"}));
    EXPECT_EQ(walk<Formset0>(), (Names{L"完成", L"关闭"}));
    EXPECT_EQ(walk<FormE>(), Names{L"好的"});
    EXPECT_EQ(walk<FormYHXY>(), Names{});
    EXPECT_EQ(walk<FormYSZC>(), Names{});
    EXPECT_EQ(walk<Formlauncher>(), Names{});
}

// The look stays: the system menu and the minimise box add no frame.
TEST_F(Accessibility, BorderlessWindowsMinimiseWithoutAFrame) {
    auto& menu = ui::show<Probe<Formmain>>();
    const LONG_PTR style = GetWindowLongPtrW(menu.hwnd(), GWL_STYLE);
    EXPECT_TRUE((style & WS_SYSMENU) && (style & WS_MINIMIZEBOX))
        << "minimised from the task bar and Alt+Space";
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME)) << "and still without a frame";
    RECT client{}, outer{};
    GetClientRect(menu.hwnd(), &client);
    GetWindowRect(menu.hwnd(), &outer);
    EXPECT_EQ(client.right, outer.right - outer.left);
    EXPECT_EQ(client.bottom, outer.bottom - outer.top);
    menu.unload();
    ui::collect();
}

struct Keyboard : Accessibility {
    size_t at(const ui::Form& form, const wchar_t* name) {
        return static_cast<size_t>(&form.control(name) - form.controls().data());
    }
    int focused(const ui::Form& form) { return form.focusedItem(); }
};

TEST_F(Keyboard, TheMenuTakesTabArrowsAndEnterAndShowsTheCueOnlyAfterAKey) {
    auto& menu = ui::show<Probe<Formmain>>();
    SendMessageW(menu.hwnd(), WM_SETFOCUS, 0, 0);  // this thread's focus: tests run side by side
    ASSERT_EQ(GetFocus(), menu.hwnd());
    EXPECT_EQ(focused(menu), static_cast<int>(at(menu, L"ImageAi"))) << "the first tile has the focus";
    EXPECT_FALSE(menu.focusCueShown()) << "no cue before a key";

    EXPECT_TRUE(ui::navigate(press(menu.hwnd(), VK_TAB)));
    EXPECT_EQ(focused(menu), static_cast<int>(at(menu, L"ImageABOUT")));
    EXPECT_TRUE(menu.focusCueShown());
    EXPECT_TRUE(menu.navigate(menu.hwnd(), VK_TAB, true));
    EXPECT_TRUE(menu.navigate(menu.hwnd(), VK_TAB, true));
    EXPECT_EQ(focused(menu), static_cast<int>(at(menu, L"ImageU"))) << "before the first, the cross, last";

    // The arrows go to the tile that lies that way, the nearest straight ahead.
    menu.focusItem(at(menu, L"ImageABOUT"));
    const std::pair<UINT, const wchar_t*> moves[] = {
        {VK_DOWN, L"ImageWDZP"},  {VK_LEFT, L"ImageEDITOR"}, {VK_UP, L"ImageABOUT"},
        {VK_LEFT, L"ImageAi"},    {VK_LEFT, L"ImageAi"},     {VK_RIGHT, L"ImageEDITOR"},
        {VK_RIGHT, L"ImageWDZP"}, {VK_RIGHT, L"ImageSET"},   {VK_DOWN, L"ImageYSZC"}};
    for (const auto& [key, to] : moves) {
        EXPECT_TRUE(ui::navigate(press(menu.hwnd(), key)));
        EXPECT_EQ(focused(menu), static_cast<int>(at(menu, to))) << to;
    }

    // Enter and Space run the focused tile's handler, as its click does.
    menu.focusItem(at(menu, L"ImageWDZP"));
    menu.aim(menu.control(L"ImageWDZP"));
    EXPECT_TRUE(ui::navigate(press(menu.hwnd(), VK_RETURN)));
    EXPECT_TRUE(ui::navigate(press(menu.hwnd(), VK_SPACE)));
    EXPECT_EQ(menu.hits, 2);
    EXPECT_EQ(menu.others, 0);
    EXPECT_FALSE(ui::navigate(press(menu.hwnd(), VK_ESCAPE))) << "Esc does not close the menu";
    menu.unload();
}

TEST_F(Keyboard, BoxesAndDrawnButtonsShareOneOrderAndEscClosesTheTextWindows) {
    auto& step = ui::show<Probe<Formset3>>();
    SendMessageW(step.hwnd(), WM_SETFOCUS, 0, 0);
    const HWND name = step.control(L"Text1").edit;
    EXPECT_EQ(GetFocus(), name) << "a window with a box to type in starts there";
    EXPECT_TRUE(ui::navigate(press(name, VK_TAB)));
    EXPECT_TRUE(ui::navigate(press(step.control(L"Text2").edit, VK_TAB)));
    EXPECT_EQ(GetFocus(), step.hwnd());
    EXPECT_EQ(focused(step), static_cast<int>(at(step, L"Image3"))) << "下一步 after the boxes";
    EXPECT_TRUE(step.navigate(step.hwnd(), VK_TAB, true));
    EXPECT_EQ(GetFocus(), step.control(L"Text2").edit);
    EXPECT_FALSE(ui::navigate(press(GetFocus(), VK_LEFT))) << "the arrows move in the text";
    step.unload();

    for (ui::Form* form :
         {static_cast<ui::Form*>(&ui::show<FormABOUT>()), static_cast<ui::Form*>(&ui::show<FormYHXY>()),
          static_cast<ui::Form*>(&ui::show<FormYSZC>())}) {
        const std::wstring caption = form->caption();
        EXPECT_TRUE(ui::navigate(press(form->hwnd(), VK_ESCAPE))) << caption;
        EXPECT_FALSE(form->loaded()) << caption;
    }
    ui::collect();
}

}  // namespace
