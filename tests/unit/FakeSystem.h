// A System that answers message boxes and dialogs from a script and records what
// the code asked of it, and a temporary program folder for each test.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "system/Failure.h"
#include "system/System.h"

struct ShownMessage {
    std::wstring text;
    std::wstring title;
    sys::Buttons buttons;
    sys::Icon icon;
    void* owner;  // the window the box belongs to
};

struct ShownDialog {
    bool save;  // the save dialog, else the open dialog
    sys::FileDialog dialog;
};

class FakeSystem : public sys::System {
public:
    FakeSystem();
    ~FakeSystem() override;

    std::deque<sys::Answer> answers;  // next message box answers; Ok when empty
    std::deque<std::optional<std::wstring>> chosenFiles;
    uint32_t startError = 0;               // the error every start fails with, 0 for success
    sys::TimeOfDay now{12, 0};
    std::vector<std::pair<std::wstring, std::wstring>> environmentValues;

    // Run inside start() and sleep(), as the started program or the time passing would
    // act: a stand-in model writes its result when it is started.
    std::function<void(const std::wstring& path)> whenStarted;  // only for starts that succeed
    std::function<void(unsigned milliseconds)> whenSleeping;

    // The sound output: the error it fails to open with (0: it opens), the source of the
    // sound that plays (empty when none plays), and whether that sound has finished.
    uint32_t soundError = 0;
    sys::SoundSource playing;
    bool soundFinished = false;
    uint64_t soundPosition = 0;  // the samples the output reports as played
    std::wstring soundFailure;   // why it broke off, empty while it plays
    int soundsStarted = 0;
    // Takes what the playing sound gives, as the output would, up to `most` samples.
    std::vector<int16_t> pull(size_t most);

    std::vector<ShownMessage> messages;
    std::vector<ShownDialog> dialogs;         // each file dialog shown, with its title and filter
    std::vector<std::wstring> started;        // path, then " " and the arguments if any
    std::vector<std::wstring> startedHidden;  // the starts without a window, also in `started`
    std::vector<std::wstring> startedBehind;  // the starts that leave us the keyboard, also in `started`
    std::vector<unsigned> sleeps;
    int endedNow = 0;

    sys::Answer messageBox(std::wstring_view text, std::wstring_view title, sys::Buttons buttons,
                           sys::Icon icon) override;
    std::optional<std::wstring> openFile(const sys::FileDialog&) override;
    std::optional<std::wstring> saveFile(const sys::FileDialog&) override;
    sys::Started start(const std::wstring& path, const std::wstring& arguments) override;
    sys::Started startHidden(const std::wstring& path, const std::wstring& arguments = {}) override {
        startedHidden.push_back(path);
        return start(path, arguments);
    }
    sys::Started startBehind(const std::wstring& path, const std::wstring& arguments = {}) override {
        startedBehind.push_back(path);
        return start(path, arguments);
    }
    std::unique_ptr<sys::Sound> play(sys::SoundSource source, uint32_t& error) override;
    void sleep(unsigned milliseconds) override {
        sleeps.push_back(milliseconds);
        if (whenSleeping) whenSleeping(milliseconds);
    }
    sys::TimeOfDay localTime() override { return now; }
    std::optional<std::wstring> environment(const std::wstring& name) override;
    // As the real end never returns, the fake stops the test's flow: it throws sys::Ended.
    void endNow() override {
        ++endedNow;
        throw sys::Ended{};
    }

private:
    std::optional<std::wstring> chooseFile(bool save, const sys::FileDialog& dialog);
};

// Whether the action ended the program (and so stopped where it did).
template <class Action>
bool ends(Action action) {
    try {
        action();
    } catch (const sys::Ended&) {
        return true;
    }
    return false;
}

// A fresh, empty program folder for one test, removed afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }
    void put(const std::wstring& name, const std::string& bytes) const;
    std::string bytes(const std::wstring& name) const;  // "<missing>" when absent

private:
    std::wstring path_;
};
