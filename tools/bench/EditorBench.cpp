// Times the score editor's work on large scores: the gutter tick (the 100 ms timer)
// when the text has changed and when it has not, the digit scan of rendering, and what
// F5 does before the sound output gets its first block.
// Prints the figures; tools/bench-editor builds it and runs it under Wine.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "editor/FormEditor.h"
#include "editor/Midi.h"
#include "editor/Preview.h"
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
        const double scan = best(10, [&] { digits += FormEditor::noteDigits(text).size(); });
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
        const std::wstring digits = FormEditor::noteDigits(notes);
        auto samples = preview::loadSamples(wav, digits, failure);
        if (!samples) return;
        int16_t block[2048];
        preview::source(digits, std::make_shared<const preview::Samples>(std::move(*samples)))(block, 2048);
    });
    if (!failure.empty()) std::printf("preview: %ls\n", failure.c_str());
    std::printf("preview of 32,768 notes, F5 to the first block: %.3f ms\n", start);
    midiExport();
    editor.unload();
    return 0;
}
