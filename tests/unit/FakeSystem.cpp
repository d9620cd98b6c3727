#include "FakeSystem.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <filesystem>

#include "system/Paths.h"
#include "text/LineFile.h"

FakeSystem::FakeSystem() {
    sys::install(this);
}
FakeSystem::~FakeSystem() {
    sys::install(nullptr);
}

sys::Answer FakeSystem::messageBox(std::wstring_view text, std::wstring_view title, sys::Buttons buttons,
                                   sys::Icon icon) {
    messages.push_back({std::wstring(text), std::wstring(title), buttons, icon, sys::owner()});
    if (answers.empty()) return sys::Answer::Ok;
    const sys::Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::wstring> FakeSystem::openFile(const sys::FileDialog& dialog) {
    dialogs.push_back(dialog);
    if (chosenFiles.empty()) return std::nullopt;
    auto file = chosenFiles.front();
    chosenFiles.pop_front();
    return file;
}

std::optional<std::wstring> FakeSystem::saveFile(const sys::FileDialog& dialog) {
    return openFile(dialog);
}

sys::Started FakeSystem::start(const std::wstring& path, const std::wstring& arguments) {
    started.push_back(arguments.empty() ? path : path + L" " + arguments);
    if (startError == 0 && whenStarted) whenStarted(path);
    return {startError, nullptr};
}

namespace {
class FakeSound final : public sys::Sound {
public:
    explicit FakeSound(FakeSystem& system) : system_(system) {}
    ~FakeSound() override { system_.playing = nullptr; }
    bool finished() const override { return system_.soundFinished; }

private:
    FakeSystem& system_;
};
}  // namespace

std::unique_ptr<sys::Sound> FakeSystem::play(sys::SoundSource source, uint32_t& error) {
    error = soundError;
    if (error) return nullptr;
    ++soundsStarted;
    soundFinished = false;
    playing = std::move(source);
    return std::make_unique<FakeSound>(*this);
}

std::vector<int16_t> FakeSystem::pull(size_t most) {
    std::vector<int16_t> samples;
    int16_t block[1000];
    while (playing && samples.size() < most) {
        const size_t filled = playing(block, std::min<size_t>(1000, most - samples.size()));
        if (filled == 0) break;
        samples.insert(samples.end(), block, block + filled);
    }
    return samples;
}

std::optional<std::wstring> FakeSystem::environment(const std::wstring& name) {
    for (const auto& [key, value] : environmentValues)
        if (key == name) return value;
    return std::nullopt;
}

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    // Wine reuses process ids: the clock keeps a folder that an earlier test process could
    // not remove (a read-only file left by a failed test) from being taken again.
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    path_ = std::wstring(base) + L"orvane测试_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(now.QuadPart) + L"_" + std::to_wstring(counter++);
    std::filesystem::create_directories(path_);
    sys::setProgramFolder(path_);
}

TempFolder::~TempFolder() {
    sys::setProgramFolder({});
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(path_, ignored);
}

void TempFolder::put(const std::wstring& name, const std::string& bytes) const {
    text::writeBytes(file(name), bytes);
}

std::string TempFolder::bytes(const std::wstring& name) const {
    return text::readBytes(file(name)).value_or("<missing>");
}
