// The score as a MIDI file: the exact bytes of a short score, quantities of more than
// two bytes, and the editor's 导出MIDI with its proposed name, its refusal of a score
// without notes and a write that fails. The real readers (mido, TiMidity++) read the
// file the program writes in tests/e2e/test_midi.py.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "WindowTest.h"
#include "editor/FormEditor.h"
#include "editor/Midi.h"
#include "forms/Program.h"
#include "system/Paths.h"

namespace {

const std::string kHeader("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk", 18);
// 4/4, 120 a minute, the marimba: the start of every track.
const std::string kStart("\0\xFF\x58\x04\x04\x02\x18\x08\0\xFF\x51\x03\x07\xA1\x20\0\xC0\x0C", 18);

std::string track(const std::string& bytes) {
    return bytes.substr(kHeader.size() + 4);
}

TEST(EditorMidi, AShortScoreGivesTheseBytes) {
    // 7 1, a rest, 6 and a rest at the end; letters, 8, 9 and a full-width digit are remarks.
    const std::string expected = kHeader + std::string("\0\0\0\x33", 4) + kStart +
                                 std::string(
                                     "\0\x90\x3B\x50\x83\x60\x80\x3B\x40"        // B3
                                     "\0\x90\x3C\x50\x83\x60\x80\x3C\x40"        // C4
                                     "\x83\x60\x90\x45\x50\x83\x60\x80\x45\x40"  // a rest, A4
                                     "\x83\x60\xFF\x2F\x00",  // the rest at the end lasts its beat
                                     33);
    EXPECT_EQ(midi::fromScore(L"小调 7 1 0 89\r\n6 ０0"), expected);
}

TEST(EditorMidi, LongRestsAndLongScoresKeepTheirTimesAndLength) {
    // 40 rests between two notes: 19,200 ticks, a quantity of three bytes.
    const std::string rests = track(midi::fromScore(L"1" + std::wstring(40, L'0') + L"2"));
    EXPECT_EQ(rests.substr(kStart.size() + 9),
              std::string("\x81\x96\x00\x90\x3E\x50\x83\x60\x80\x3E\x40\0\xFF\x2F\0", 15));
    EXPECT_EQ(track(midi::fromScore(L"00")), kStart + std::string("\x87\x40\xFF\x2F\0", 5)) << "rests alone";

    // 32,768 notes: the track's length takes all four bytes of its field.
    const std::string file = midi::fromScore(std::wstring(32768, L'5'));
    const size_t length = (static_cast<uint8_t>(file[18]) << 24) | (static_cast<uint8_t>(file[19]) << 16) |
                          (static_cast<uint8_t>(file[20]) << 8) | static_cast<uint8_t>(file[21]);
    EXPECT_EQ(length, file.size() - 22);

    EXPECT_EQ(midi::fromScore(L""), "");
    EXPECT_EQ(midi::fromScore(L"小星星 89 ０１"), "") << "no note digit, no file";
}

struct EditorMidiExport : EditorWindowTest<> {
    // Exports through the button and the dialog's answer; the name the dialog proposed.
    std::wstring exportAs(FormEditor& editor, std::optional<std::wstring> file) {
        system.chosenFiles = {std::move(file)};
        editor.fire(L"ImageMIDI");
        EXPECT_FALSE(system.dialogs.empty());
        return system.dialogs.empty() ? L"" : system.dialogs.back().dialog.name;
    }
};

TEST_F(EditorMidiExport, ProposesTheScoresNameOrADefaultAndWritesTheScore) {
    FormEditor& editor = ui::show<FormEditor>();
    editor.fire(L"ImageMIDI");  // the default text holds no digit
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].icon, sys::Icon::Exclamation);
    EXPECT_NE(system.messages[0].text.find(L"没有音符"), std::wstring::npos);
    EXPECT_TRUE(system.dialogs.empty()) << "no file is asked for";

    editor.setText(L"txtCode", L"1 2 3");
    EXPECT_EQ(exportAs(editor, folder.file(L"a.mid")), L"作品.mid");
    EXPECT_EQ(system.dialogs.back().dialog.extension, L"mid");
    EXPECT_EQ(folder.bytes(L"a.mid"), midi::fromScore(L"1 2 3"));
    EXPECT_EQ(editor.text(L"LabelZT"), L"MIDI文件已导出");

    // Saved under a name with dots of its own, then Ctrl+E: only the last part gives way.
    system.chosenFiles = {folder.file(L"欢乐颂.第2版.sop")};
    editor.fire(L"ImageSAVE");
    editor.setText(L"txtCode", L"5 5 6");
    system.chosenFiles = {folder.file(L"b.mid")};
    EXPECT_TRUE(editor.pressKey('E', true));
    EXPECT_EQ(system.dialogs.back().dialog.name, L"欢乐颂.第2版.mid");
    EXPECT_EQ(folder.bytes(L"b.mid"), midi::fromScore(L"5 5 6"));

    // Opened from a file without an extension; then New leaves the score without a file.
    folder.put(L"旧曲", "3 2 1\r\n");
    system.answers = {sys::Answer::Yes};
    system.chosenFiles = {folder.file(L"旧曲")};
    editor.fire(L"ImageOPEN");
    EXPECT_EQ(exportAs(editor, std::nullopt), L"旧曲.mid");
    EXPECT_EQ(system.messages.size(), 2u) << "a cancelled export says nothing";
    system.answers = {sys::Answer::Yes};
    editor.fire(L"ImageNEW");
    editor.setText(L"txtCode", L"0 1");
    EXPECT_EQ(exportAs(editor, std::nullopt), L"作品.mid");
}

TEST_F(EditorMidiExport, AFailedWriteSaysWhyAndLeavesNoFile) {
    FormEditor& editor = ui::show<FormEditor>();
    editor.setText(L"txtCode", L"1 2 3");
    const std::wstring missing = folder.file(L"没有这个文件夹\\a.mid");
    exportAs(editor, missing);
    ASSERT_EQ(system.messages.size(), 1u);
    EXPECT_EQ(system.messages[0].icon, sys::Icon::Error);
    EXPECT_EQ(system.messages[0].text,
              L"无法导出MIDI文件 " + missing + L"：" + sys::describe(ERROR_PATH_NOT_FOUND));

    // A read-only file keeps its bytes, and no temporary file stays beside it.
    folder.put(L"old.mid", "old");
    ASSERT_TRUE(SetFileAttributesW(folder.file(L"old.mid").c_str(), FILE_ATTRIBUTE_READONLY));
    const auto before = std::distance(std::filesystem::directory_iterator(folder.path()), {});
    exportAs(editor, folder.file(L"old.mid"));
    ASSERT_EQ(system.messages.size(), 2u);
    EXPECT_NE(system.messages[1].text.find(sys::describe(ERROR_ACCESS_DENIED)), std::wstring::npos);
    EXPECT_EQ(folder.bytes(L"old.mid"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), before);
    EXPECT_NE(editor.text(L"LabelZT"), L"MIDI文件已导出");
}

}  // namespace
