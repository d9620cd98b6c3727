// Times the score editor's work on large scores: the gutter tick (the 100 ms timer)
// when the text has changed and when it has not, and the digit scan of rendering.
// Prints the figures; tools/bench-editor builds it and runs it under Wine.
#include <windows.h>

#include <cstdio>
#include <string>

#include "editor/FormEditor.h"
#include "forms/Program.h"

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
    editor.unload();
    return 0;
}
