// OrvaneX: writes one new score into output\output.sop of the program folder, the
// folder above its own. Ai.bat starts it without arguments; ORVANEX_SEED (any text)
// makes the piece repeatable, and without it every run differs. With --continue it
// writes instead what follows the score in FILE (GBK): two phrases set out as that
// score sets out its notes, or a new piece when it holds no note.
//
//   OrvaneX.exe [--out FILE] [--seed TEXT] [--continue FILE]
#include <windows.h>

#include <exception>
#include <optional>
#include <stdexcept>
#include <string>

#include "Composer.h"
#include "Continuation.h"
#include "Corpus.h"
#include "Score.h"
#include "system/Console.h"
#include "system/Paths.h"
#include "text/Gbk.h"
#include "text/LineFile.h"

namespace {

std::optional<std::wstring> environment(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring out = orvanex::scorePathFor(sys::programFolder());
    std::optional<std::wstring> seed = environment(L"ORVANEX_SEED");
    std::optional<std::wstring> context;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring option = argv[i];
        if (option == L"--out") {
            out = argv[i + 1];
        } else if (option == L"--seed") {
            seed = argv[i + 1];
        } else if (option == L"--continue") {
            context = argv[i + 1];
        } else {
            sys::printError(L"用法 / usage: OrvaneX.exe [--out FILE] [--seed TEXT] [--continue FILE]");
            return 2;
        }
    }
    try {
        const auto corpus = orvanex::readCorpus(orvanex::builtInCorpus());
        if (corpus.empty()) throw std::runtime_error("the corpus is missing from the program");
        orvanex::Random random =
            seed && !seed->empty() ? orvanex::Random::fromText(sys::toUtf8(*seed)) : orvanex::Random::fresh();
        const orvanex::Composer composer(corpus);
        std::wstring score;
        if (context) {
            uint32_t error = 0;
            const auto bytes = text::readBytes(*context, &error);
            if (!bytes) {
                sys::printError(L"OrvaneX 未能读取续写的乐谱 / could not read the score to continue: " +
                                *context + L"：" + sys::describe(error));
                return 1;
            }
            score = orvanex::continuation(composer, random, text::fromGbk(*bytes));
        } else {
            score = orvanex::render(composer.compose(random));
        }
        if (const uint32_t error = orvanex::writeScore(out, score)) {
            sys::printError(L"OrvaneX模型未能写出乐谱 / OrvaneX could not write the score: " + out + L"：" +
                            sys::describe(error));
            return 1;
        }
    } catch (const std::exception& error) {
        sys::printError(L"OrvaneX模型未能写出乐谱 / OrvaneX could not write the score: " +
                        text::fromGbk(error.what()));
        return 1;
    }
    return 0;
}
