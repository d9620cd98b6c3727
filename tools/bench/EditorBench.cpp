// Times the score editor's work on large scores: the gutter tick (the 100 ms timer)
// when the text has changed and when it has not, the digit scan of rendering, what F5
// does before the sound output gets its first block, the undo history on a 1 MB score
// (typing, its memory, the undo of an AI score), and how late the mark of the sounding
// note follows the position the sound output reports.
// Prints the figures; tools/bench-editor builds it and runs it under Wine.
#include <windows.h>
// The process's memory, for the history's cost.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "editor/FormEditor.h"
#include "editor/History.h"
#include "editor/Midi.h"
#include "editor/Preview.h"
#include "editor/Rendering.h"
#include "forms/Program.h"
#include "system/Paths.h"
#include "text/LineFile.h"

namespace {

double now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::wstring score(size_t characters) {
    const std::wstring line = L"1 1 5 5 6 6 5 0 小星星 第一段\r\n";
    std::wstring text;
    while (text.size() + line.size() <= characters) text += line;
    text.append(characters - text.size(), L'3');
    return text;
}

// Milliseconds per call, the best of a few rounds of `count` calls.
template <class F>
double best(int count, F&& work) {
    double fastest = 1e9;
    for (int round = 0; round < 5; ++round) {
        const double start = now();
        for (int i = 0; i < count; ++i) work();
        fastest = std::min(fastest, (now() - start) / count);
    }
    return fastest;
}

size_t privateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return 0;
    return counters.PrivateUsage;
}

// The real system, but a sound output that plays nothing and reports the position the
// clock says it would have reached: the mark is timed against it.
class ClockSound final : public sys::Sound {
public:
    explicit ClockSound(double started) : started_(started) {}
    bool finished() const override { return false; }
    uint64_t position() const override { return static_cast<uint64_t>((now() - started_) * 44.1); }
    std::wstring failure() const override { return {}; }

private:
    double started_;
};

class ClockSystem final : public sys::System {
public:
    explicit ClockSystem(sys::System& real) : real_(real) {}
    double started = 0;
    sys::Answer messageBox(std::wstring_view text, std::wstring_view title, sys::Buttons buttons,
                           sys::Icon icon) override {
        return real_.messageBox(text, title, buttons, icon);
    }
    std::optional<std::wstring> openFile(const sys::FileDialog& d) override { return real_.openFile(d); }
    std::optional<std::wstring> saveFile(const sys::FileDialog& d) override { return real_.saveFile(d); }
    sys::Started start(const std::wstring& path, const std::wstring& arguments) override {
        return real_.start(path, arguments);
    }
    std::unique_ptr<sys::Sound> play(sys::SoundSource, uint32_t& error) override {
        error = 0;
        started = now();
        return std::make_unique<ClockSound>(started);
    }
    void sleep(unsigned milliseconds) override { real_.sleep(milliseconds); }
    sys::TimeOfDay localTime() override { return real_.localTime(); }
    std::optional<std::wstring> environment(const std::wstring& name) override {
        return real_.environment(name);
    }
    void endNow() override { real_.endNow(); }

private:
    sys::System& real_;
};

// Types a character as a user does: the key, then the character into the text box.
void type(FormEditor& editor, wchar_t c) {
    editor.pressKey(c == L' ' ? VK_SPACE : static_cast<UINT>(c), false);
    SendMessageW(editor.control(L"txtCode").edit, WM_CHAR, c, 0);
}

void benchHistory(FormEditor& editor) {
    const std::wstring text = score(1024 * 1024);
    editor.setText(L"txtCode", text);
    const HWND box = editor.control(L"txtCode").edit;
    SendMessageW(box, EM_SETSEL, text.size() / 2, text.size() / 2);
    const size_t before = privateBytes(), held = editor.history().characters();
    const double started = now();
    for (int word = 0; word < 100; ++word)
        for (const wchar_t c : std::wstring(L"1234 ")) type(editor, c);
    const double typing = (now() - started) / 500;
    // Of which the history's own part: the difference to the text it knew, found and kept.
    std::wstring known = editor.text(L"txtCode"), typed = known;
    const double finding = best(10, [&] {
        typed.insert(typed.size() / 2, 1, L'9');
        const editor::Change change = editor::difference(known, typed, typed.size() / 2 + 1);
        known.replace(change.at, change.removed.size(), change.inserted);
    });
    const size_t after = privateBytes();
    // The history keeps one copy of the text (to find each change) and the steps.
    std::printf(
        "1 MB score, 100 typing steps (%zu in the history): %.3f ms a key (the history's part %.3f ms); "
        "the steps hold %.1f KB, the history %.1f MB with its copy of the text; the process %.2f MB more\n",
        editor.history().steps(), typing, finding, (editor.history().characters() - held) * 2 / 1024.0,
        (editor.history().characters() + editor.text(L"txtCode").size()) * 2.0 / (1 << 20),
        (static_cast<double>(after) - before) / (1 << 20));
    // An AI score of 1 MB replaces it, then is undone and done again.
    std::wstring ai = score(1024 * 1024);
    std::replace(ai.begin(), ai.end(), L'5', L'7');
    const double loading = now();
    editor.setText(L"txtCode", ai);
    std::printf("1 MB score, an AI score of 1 MB set in its place: %.2f ms\n", now() - loading);
    double undo = 0, redo = 0;
    for (int round = 0; round < 5; ++round) {
        double at = now();
        editor.pressKey('Z', true);
        undo = round ? std::min(undo, now() - at) : now() - at;
        at = now();
        editor.pressKey('Y', true);
        redo = round ? std::min(redo, now() - at) : now() - at;
    }
    std::printf("1 MB score, undo of a 1 MB AI score: %.2f ms, redo: %.2f ms\n", undo, redo);
    // Of which the history's own part: the step taken back and the text rebuilt;
    // the rest is the text box taking the new text.
    editor::History steps;
    steps.record(editor::difference(text, ai, 0), false);
    std::wstring rebuilt;
    double history = 1e9;
    for (int round = 0; round < 5; ++round) {
        const double at = now();
        const auto back = steps.undo();
        rebuilt.clear();
        rebuilt.append(ai, 0, back->at).append(back->inserted).append(ai, back->at + back->removed.size());
        history = std::min(history, now() - at);
        steps.redo();
    }
    std::printf("1 MB score, the history's part of that undo: %.2f ms\n", history);
}

// Plays a score of short notes through the clock's sound and measures, at each move of
// the mark, how long after its note's start it came.
void benchMark(FormEditor& editor) {
    std::wstring notes;
    for (int i = 0; i < 400; ++i)
        notes += std::wstring(1, L'0' + (i * 5) % 8) + (i % 16 == 15 ? L"\r\n" : L" ");
    // Notes of 20 ms each, in a program folder of their own: the mark is asked to move
    // 50 times a second.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"orvane_mark_bench";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"\\wav").c_str(), nullptr);
    const auto le = [](uint32_t v, int size) {
        std::string bytes;
        for (int i = 0; i < size; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
        return bytes;
    };
    const std::string data(882 * 2, '\x10');
    for (int d = 0; d < 8; ++d)
        text::writeBytes(folder + L"\\wav\\" + std::to_wstring(d) + L".wav",
                         "RIFF" + le(36 + data.size(), 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) +
                             le(44100, 4) + le(88200, 4) + le(2, 2) + le(16, 2) + "data" +
                             le(data.size(), 4) + data);
    sys::setProgramFolder(folder);
    preview::Samples samples;
    for (auto& frames : samples) frames.resize(882);
    const std::vector<preview::Note> all = preview::notesIn(notes, 0, notes.size());
    const std::vector<uint64_t> starts = preview::noteStarts(rendering::noteDigits(notes), samples);
    ClockSystem clock(sys::system());
    sys::install(&clock);
    editor.setText(L"txtCode", notes);
    editor.pressKey(VK_F5, false);
    std::vector<double> delays;
    DWORD last = ~0u;
    const HWND box = editor.control(L"txtCode").edit;
    while (editor.playing() && now() - clock.started < 3000) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        DWORD start = 0;
        SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        if (start != last) {
            last = start;
            const auto note =
                std::find_if(all.begin(), all.end(), [&](const preview::Note& n) { return n.at == start; });
            if (note != all.end())
                delays.push_back(now() - clock.started -
                                 starts[static_cast<size_t>(note - all.begin())] / 44.1);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    editor.pressKey(VK_ESCAPE, false);
    sys::install(nullptr);
    std::sort(delays.begin(), delays.end());
    if (delays.empty()) return;
    std::printf("mark after the reported position: %zu moves, median %.1f ms, 95%% %.1f ms, worst %.1f ms\n",
                delays.size(), delays[delays.size() / 2], delays[delays.size() * 95 / 100], delays.back());
}

// 导出MIDI of a score of 32,768 digits, every one a note or a rest, sixteen to a line:
// the file's bytes from the score's text, then written as the editor writes them.
void midiExport() {
    std::wstring notes;
    for (int i = 0; i < 32768; ++i)
        notes += std::wstring(1, L'0' + (i * 5) % 8) + (i % 16 == 15 ? L"\r\n" : L" ");
    wchar_t folder[MAX_PATH];
    if (!GetTempPathW(MAX_PATH, folder)) return;
    const std::wstring file = std::wstring(folder) + L"orvane_bench.mid";
    size_t bytes = 0;
    uint32_t error = 0;
    const double made = best(10, [&] { bytes = midi::fromScore(notes).size(); });
    const double exported = best(10, [&] { error |= text::writeBytes(file, midi::fromScore(notes)); });
    DeleteFileW(file.c_str());
    if (error) std::printf("MIDI export: the write failed (%u)\n", error);
    std::printf("MIDI export of 32,768 digits (%zu bytes): %.3f ms the bytes, %.3f ms written\n", bytes, made,
                exported);
}

}  // namespace

int main() {
    ui::initialise(L"EditorBench");
    FormEditor& editor = ui::show<FormEditor>();
    std::printf("%-10s %12s %16s %16s %14s\n", "score", "lines", "tick unchanged", "tick changed",
                "digit scan");
    for (const size_t size : {size_t{32 * 1024}, size_t{1024 * 1024}}) {
        const std::wstring text = score(size);
        editor.setText(L"txtCode", text);
        editor.fire(L"Timer1");
        const double unchanged = best(100, [&] { editor.fire(L"Timer1"); });
        // A change as typing makes it: the count the forms layer keeps moves on.
        const double changed = best(10, [&] {
            ++editor.control(L"txtCode").changes;
            editor.fire(L"Timer1");
        });
        size_t digits = 0;
        const double scan = best(10, [&] { digits += rendering::noteDigits(text).size(); });
        std::printf("%-10s %12zu %13.4f ms %13.4f ms %11.4f ms\n", size < 1024 * 1024 ? "32 K" : "1 MB",
                    editor.lineCount(), unchanged, changed, scan);
    }

    // The preview of 32,768 notes: digit scan, the samples read from the shipped wav
    // folder, the first block built. The sound output's own start comes on top.
    std::wstring notes;
    for (int i = 0; i < 32768; ++i)
        notes += std::wstring(1, L'0' + (i * 3) % 8) + (i % 16 == 15 ? L"\r\n" : L" ");
    const std::wstring wav = sys::programFolder() + L"\\..\\Orvane\\wav";
    std::wstring failure;
    const double start = best(10, [&] {
        const std::wstring digits = rendering::noteDigits(notes);
        auto samples = preview::loadSamples(wav, digits, failure);
        if (!samples) return;
        int16_t block[2048];
        preview::source(digits, std::make_shared<const preview::Samples>(std::move(*samples)))(block, 2048);
    });
    if (!failure.empty()) std::printf("preview: %ls\n", failure.c_str());
    std::printf("preview of 32,768 notes, F5 to the first block: %.3f ms\n", start);
    benchHistory(editor);
    benchMark(editor);
    midiExport();
    editor.unload();
    return 0;
}
