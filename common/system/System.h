// Everything that blocks the program or leaves the process goes through System:
// message boxes, file dialogs, starting programs, sleeping, the clock, the
// environment and ending the program at once. Production binds it to Win32; tests
// put in their own to answer and to record.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "system/Failure.h"

namespace sys {

enum class Icon { None, Question, Warning, Exclamation, Error };
enum class Buttons {
    Ok,
    YesNo,
    YesNoDefaultNo,     // Return answers No
    SaveDiscardCancel,  // 保存, 不保存, 取消
};
enum class Answer { Ok, Yes, No, Save, Discard, Cancel };

struct FileDialog {
    std::wstring title;
    std::wstring filter;     // pairs separated by '|': "乐谱文件(*.sop)|*.sop"
    std::wstring folder;     // where the dialog starts; empty: where the system chooses
    std::wstring name;       // the file name it offers; empty: none
    std::wstring extension;  // added to a name typed without one ("mid"); none when empty
};

// A started program: error 0 and a process handle, or the system's error code.
struct Started {
    uint32_t error = 0;
    std::shared_ptr<void> process;
    explicit operator bool() const { return error == 0; }
};

// A sound being played; playing stops when it is destroyed.
class Sound {
public:
    virtual ~Sound() = default;
    // Whether every block has been played to its end, or playing broke off.
    virtual bool finished() const = 0;
    // The samples the output reports as played since the start: what is heard now.
    virtual uint64_t position() const = 0;
    // Why playing broke off, in the device's words; empty while it plays or when it
    // played to its end.
    virtual std::wstring failure() const = 0;
};

// Fills a block of 16-bit mono samples at 44100 Hz, called while the sound plays, each
// time the output needs more; returns how many it filled, 0 at the end.
using SoundSource = std::function<size_t(int16_t* block, size_t capacity)>;

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
};

class System {
public:
    virtual ~System() = default;

    // A modal box over the whole program, owned by the window of owner(). An empty title
    // shows the program's name.
    virtual Answer messageBox(std::wstring_view text, std::wstring_view title, Buttons buttons,
                              Icon icon) = 0;
    virtual std::optional<std::wstring> openFile(const FileDialog& dialog) = 0;
    virtual std::optional<std::wstring> saveFile(const FileDialog& dialog) = 0;

    // Starts a program by its full path with a normal, focused window; a batch file
    // through the command interpreter. Never waits.
    virtual Started start(const std::wstring& path, const std::wstring& arguments) = 0;
    // The exit code of a started program once it has ended; nothing while it runs, or
    // when it was started without a process handle. Never waits.
    virtual std::optional<uint32_t> exitCode(const Started& started);
    // The same start without any window: for batch files that only work in the
    // background, whose console would flash over the program.
    virtual Started startHidden(const std::wstring& path, const std::wstring& arguments = {}) {
        return start(path, arguments);
    }
    // The same start with a window that shows without taking the keyboard: for what a
    // window starts by itself as it loads, not at the user's request.
    virtual Started startBehind(const std::wstring& path, const std::wstring& arguments = {}) {
        return start(path, arguments);
    }

    // Plays what the source gives on the default sound output; the source is called on
    // another thread. Nothing and the system's error code when there is no output.
    virtual std::unique_ptr<Sound> play(SoundSource source, uint32_t& error);

    virtual void sleep(unsigned milliseconds) = 0;
    virtual TimeOfDay localTime() = 0;
    // The time now as files carry it (100 ns steps since 1601, UTC): for telling a file
    // written from now on from an older one.
    virtual unsigned long long fileTimeNow();
    virtual std::optional<std::wstring> environment(const std::wstring& name) = 0;

    // Every window disappears and the process ends; in production it never returns, and
    // a test's System throws sys::Ended (system/Failure.h) instead.
    [[noreturn]] virtual void endNow() = 0;
};

System& system();
// Puts another System in force (tests); nullptr restores the Win32 one.
void install(System* replacement);

// The window that message boxes and file dialogs belong to, so that one is never hidden
// behind it: the forms layer names the window whose handler is running. A null HWND
// when none is.
void setOwnerSource(void* (*source)());
void* owner();

// The program's name, the title of message boxes that have none of their own.
const std::wstring& programName();
void setProgramName(std::wstring name);

// The command line with which the interpreter runs a batch file's quoted command line.
std::wstring batchCommand(const std::wstring& interpreter, const std::wstring& command);

// Shorthands over system().
void message(std::wstring_view text, Icon icon = Icon::None);
// A failure, when there is one, in a message box with the error icon; the program goes
// on. Returns whether there was one.
bool tell(const Cause& failure);
// A failure the program cannot go on from, when there is one: told, then the program ends.
void endOn(const Cause& failure);
Started start(const std::wstring& path, const std::wstring& arguments = {});

}  // namespace sys
