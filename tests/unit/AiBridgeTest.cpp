// The AI run of the editor, from its load (the main menu's AI tile), from its own
// button and from AI续写: the order of its steps, the score it loads or puts in at the
// caret, the request flag, a model that is slow to start and one that gave no new
// score in time.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

#include "WindowTest.h"
#include "editor/FormEditor.h"
#include "forms/Program.h"
#include "text/Gbk.h"

namespace {

const std::wstring kDefaultScore = L"Orvane测试版本\r\n远帆青石制作\r\n";
// The model's result: GBK, a lone CR inside, no line end after the last line.
const std::string kModelScore =
    text::toGbk(L"OrvaneX模型作品《溪边小调》\r\n第一句（A）  1155  6650\r（终）");
const std::wstring kLoadedScore = L"OrvaneX模型作品《溪边小调》\r\n第一句（A）  1155  6650\r\n（终）\r\n";

struct AiBridge : EditorWindowTest<> {
    std::wstring result = folder.file(L"output\\output.sop");
    std::vector<std::wstring> events;  // what the editor showed at each start and wait
    bool modelWrites = true;
    std::string modelScore = kModelScore;  // what the model writes when it writes
    std::string request;                   // output\context.sop as the model found it

    void SetUp() override {
        EditorWindowTest::SetUp();
        folder.put(L"notice.exe", "MZ");
        std::filesystem::create_directories(folder.file(L"output"));
        system.whenStarted = [this](const std::wstring& path) {
            events.push_back(L"start " + path.substr(path.rfind(L'\\') + 1) + L" " + status());
            if (path != folder.file(L"Ai.bat")) return;
            request = folder.bytes(L"output\\context.sop");
            if (modelWrites) folder.put(L"output\\output.sop", modelScore);
        };
        system.whenSleeping = [this](unsigned ms) {
            events.push_back(L"sleep " + std::to_wstring(ms) + L" " + status() +
                             (editor() && IsWindowVisible(editor()->hwnd()) ? L" shown" : L""));
        };
    }
    static FormEditor* editor() { return ui::find<FormEditor>(); }
    static std::wstring status() { return editor() ? editor()->text(L"LabelZT") : L"-"; }
    // The events of one run of the model: the notification, then the waits of 3 and 0.9
    // seconds, in a window that is on screen or not yet.
    static std::vector<std::wstring> oneRun(bool shown) {
        const std::wstring on = shown ? L" shown" : L"";
        return {L"start Ai.bat Ai思考中", L"start notice.exe Ai思考中", L"sleep 3000 Ai思考中" + on,
                L"sleep 900 完毕！" + on};
    }

    // An older result, last written a minute ago.
    void leaveOldResult() {
        folder.put(L"output\\output.sop", text::toGbk(L"上一次的乐谱 1 2 3\r\n"));
        HANDLE file =
            CreateFileW(result.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
        t.QuadPart -= 60ull * 10'000'000;
        const FILETIME earlier{t.LowPart, t.HighPart};
        SetFileTime(file, nullptr, nullptr, &earlier);
        CloseHandle(file);
    }
};

TEST_F(AiBridge, TheButtonRunsTheModelInOrderAndReplacesTheTextWithoutAQuestion) {
    folder.put(L"AiMade.une", "2\r\n");
    ui::show<FormEditor>();
    ASSERT_TRUE(events.empty()) << "no run at load without the request";
    editor()->setText(L"txtCode", L"我的草稿 5 4 3");

    editor()->fire(L"ImageAi");

    EXPECT_EQ(events, oneRun(true));
    EXPECT_EQ(system.started.front(), folder.file(L"Ai.bat"));
    EXPECT_EQ(folder.bytes(L"title.une"), text::toGbk(L"Ai思考中\r\n"));
    EXPECT_EQ(folder.bytes(L"text.une"), text::toGbk(L"请等待大约3秒\r\n"));
    EXPECT_EQ(editor()->text(L"txtCode"), kLoadedScore);
    EXPECT_EQ(status(), L"就绪");
    EXPECT_TRUE(system.messages.empty()) << "no question and no message";
    EXPECT_EQ(folder.bytes(L"AiMade.une"), "2\r\n") << "the button leaves the flag alone";

    // A second run loads the model's new score again, an empty one included.
    events.clear();
    modelScore = "";
    editor()->fire(L"ImageAi");
    EXPECT_EQ(editor()->text(L"txtCode"), L"");
    EXPECT_EQ(status(), L"就绪");
}

TEST_F(AiBridge, TheRequestRunsTheModelBeforeTheEditorShowsAndIsThenCleared) {
    folder.put(L"AiMade.une", "1\r\n");
    ui::show<FormEditor>();

    EXPECT_EQ(events, oneRun(false)) << "the window shows only after the run";
    EXPECT_TRUE(IsWindowVisible(editor()->hwnd()));
    EXPECT_EQ(editor()->text(L"txtCode"), kLoadedScore);
    EXPECT_EQ(status(), L"就绪");
    EXPECT_EQ(folder.bytes(L"AiMade.une"), "0\r\n");

    // Reopened, the editor runs nothing.
    editor()->unload();
    events.clear();
    ui::show<FormEditor>();
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(editor()->text(L"txtCode"), kDefaultScore);
}

TEST_F(AiBridge, NoNewScoreKeepsTheTextAndSaysSo) {
    struct Case {
        const char* name;
        void (*arrange)(AiBridge&);
    };
    const Case cases[] = {
        {"the model wrote nothing", [](AiBridge& t) { t.modelWrites = false; }},
        {"an older result is left",
         [](AiBridge& t) {
             t.modelWrites = false;
             t.leaveOldResult();
         }},
        {"the result is a folder",
         [](AiBridge& t) {
             t.modelWrites = false;
             std::filesystem::create_directories(t.result);
         }},
        {"Ai.bat cannot be started",
         [](AiBridge& t) {
             t.system.startError = ERROR_FILE_NOT_FOUND;
             DeleteFileW(t.folder.file(L"notice.exe").c_str());  // whose failed start says so itself
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(result);
        modelWrites = true;
        system.startError = 0;
        system.messages.clear();
        folder.put(L"notice.exe", "MZ");
        c.arrange(*this);

        // From the button: the text stays.
        ui::show<FormEditor>();
        editor()->setText(L"txtCode", L"我的草稿 5 4 3");
        events.clear();
        editor()->fire(L"ImageAi");
        EXPECT_EQ(editor()->text(L"txtCode"), L"我的草稿 5 4 3");
        EXPECT_EQ(status(), L"就绪");
        ASSERT_EQ(system.messages.size(), 1u);
        EXPECT_NE(system.messages[0].text.find(L"没有及时给出新的乐谱"), std::wstring::npos)
            << text::toGbk(system.messages[0].text);
        EXPECT_NE(std::find(events.begin(), events.end(), L"sleep 3000 Ai思考中 shown"), events.end());
        EXPECT_EQ(std::find(events.begin(), events.end(), L"sleep 900 完毕！ shown"), events.end())
            << "no 完毕！ without a score";
        editor()->unload();

        // From the request: the default text stays and the flag is still cleared.
        folder.put(L"AiMade.une", "1\r\n");
        ui::show<FormEditor>();
        EXPECT_EQ(editor()->text(L"txtCode"), kDefaultScore);
        EXPECT_EQ(status(), L"就绪");
        EXPECT_EQ(system.messages.size(), 2u);
        EXPECT_EQ(folder.bytes(L"AiMade.une"), "0\r\n");
        editor()->unload();
    }
}

TEST_F(AiBridge, ContinuingSendsTheNotesBeforeTheCaretAndPutsTheResultThereAsOneChange) {
    ui::show<FormEditor>();
    const std::wstring before = L"我的旋律\r\n1155 6650 4433";
    const std::wstring after = L"\r\n尾声 5 4 3 2 1\r\n";
    editor()->setText(L"txtCode", before + after);
    const HWND edit = editor()->control(L"txtCode").edit;
    SendMessageW(edit, EM_SETSEL, before.size(), before.size());
    const std::wstring continued = L" 2210\r\n5544 3320 5544 3320\r\n1155 6650 4433 2210";
    modelScore = text::toGbk(continued);

    EXPECT_TRUE(editor()->pressKey('J', true)) << "Ctrl+J is the editor's, not a line feed in the score";

    EXPECT_EQ(request, text::toGbk(before));
    EXPECT_EQ(system.started.front(), folder.file(L"Ai.bat") + L" continue");
    EXPECT_EQ(events, oneRun(true)) << "the designed notification and wait";
    EXPECT_EQ(folder.bytes(L"text.une"), text::toGbk(L"请等待大约3秒\r\n"));
    EXPECT_EQ(editor()->text(L"txtCode"), before + continued + after)
        << "no empty line before the line end that followed the caret";
    EXPECT_EQ(status(), L"就绪");
    EXPECT_EQ(folder.bytes(L"AiMade.une"), "0\r\n");

    // One change: a single undo takes back the whole continuation, and nothing else.
    SendMessageW(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(editor()->text(L"txtCode"), before + after);

    // At the end of a score the continuation keeps its last line end. A model that
    // cannot start changes nothing, though a result of a moment ago lies there.
    editor()->setText(L"txtCode", before);
    SendMessageW(edit, EM_SETSEL, before.size(), before.size());
    editor()->fire(L"ImageAIXX");
    EXPECT_EQ(editor()->text(L"txtCode"), before + continued + L"\r\n");
    system.whenStarted = nullptr;
    system.startError = ERROR_FILE_NOT_FOUND;
    DeleteFileW(folder.file(L"notice.exe").c_str());  // whose failed start says so itself
    editor()->fire(L"ImageAIXX");
    EXPECT_EQ(editor()->text(L"txtCode"), before + continued + L"\r\n");
    ASSERT_EQ(system.messages.size(), 1u);
}

TEST_F(AiBridge, ASlowModelIsWaitedForWithTheStatusSayingSoUpToFifteenSeconds) {
    // The model writes its result after `late` ms of waiting, or never.
    for (const unsigned late : {4000u, 14750u, 0u}) {
        SCOPED_TRACE(late);
        std::filesystem::remove_all(result);
        system.messages.clear();
        modelWrites = false;
        unsigned waited = 0;
        std::vector<std::wstring> statuses;
        system.whenSleeping = [&](unsigned ms) {
            if (ms == 900) return;
            if (waited > 0) statuses.push_back(status());
            waited += ms;
            if (late && waited == late) folder.put(L"output\\output.sop", kModelScore);
        };
        ui::show<FormEditor>();
        editor()->setText(L"txtCode", L"我的草稿 5 4 3");
        system.sleeps.clear();
        editor()->fire(L"ImageAi");

        EXPECT_EQ(system.sleeps.front(), 3000u) << "first the designed wait";
        EXPECT_EQ(waited, late ? late : 15000u);
        ASSERT_FALSE(statuses.empty());
        EXPECT_EQ(statuses.front(), L"仍在等待OrvaneX，已等3秒");
        EXPECT_EQ(statuses.back(), L"仍在等待OrvaneX，已等" + std::to_wstring((waited - 250) / 1000) + L"秒")
            << "counted up to the last look";
        if (late) {
            EXPECT_EQ(editor()->text(L"txtCode"), kLoadedScore);
            EXPECT_TRUE(system.messages.empty());
        } else {
            EXPECT_EQ(editor()->text(L"txtCode"), L"我的草稿 5 4 3");
            EXPECT_EQ(system.messages.size(), 1u);
        }
        EXPECT_EQ(status(), L"就绪");
        editor()->unload();
    }
}

}  // namespace
