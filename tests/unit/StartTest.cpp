// Starting a program for real: by its full path only, whatever spaces and Chinese
// characters the path holds, never a program of the same name in the current folder.
#include <gtest/gtest.h>

#include <windows.h>

#include "FakeSystem.h"
#include "system/Paths.h"
#include "system/System.h"
#include "text/LineFile.h"

namespace {

// recorder.exe lies beside the test program; it notes its start in started.log.
std::wstring recorder() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return sys::parentOf(self) + L"\\recorder.exe";
}

struct Start : ::testing::Test {
    TempFolder folder;  // a path with Chinese characters
    std::wstring place = folder.file(L"带 空格 的文件夹");
    std::wstring previousFolder;
    std::wstring previousPath = sys::system().environment(L"PATH").value_or(L"");

    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryW(place.c_str(), nullptr));
        previousFolder.resize(MAX_PATH);
        previousFolder.resize(GetCurrentDirectoryW(MAX_PATH, previousFolder.data()));
    }
    void TearDown() override {
        SetCurrentDirectoryW(previousFolder.c_str());
        SetEnvironmentVariableW(L"PATH", previousPath.c_str());
    }

    std::wstring copyRecorder(const std::wstring& to) {
        EXPECT_TRUE(CopyFileW(recorder().c_str(), to.c_str(), FALSE)) << GetLastError();
        return to;
    }
    static bool waitEnded(const sys::Started& started) {
        return started.process && WaitForSingleObject(started.process.get(), 15000) == WAIT_OBJECT_0;
    }
    static std::string log(const std::wstring& folder) {
        return text::readBytes(folder + L"\\started.log").value_or("<none>");
    }
};

std::string utf8(const std::wstring& wide) {
    std::string bytes(wide.size() * 4, '\0');
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
    return bytes;
}

}  // namespace

TEST_F(Start, AFullPathWithSpacesAndChineseStartsThatProgramInItsFolder) {
    const std::wstring program = copyRecorder(place + L"\\奥文 Orvane.exe");
    const sys::Started started = sys::system().start(program, L"");
    ASSERT_TRUE(started) << started.error;
    ASSERT_TRUE(waitEnded(started));
    // started.log: its own path, its command line and its current folder.
    EXPECT_EQ(log(place), utf8(program + L"\t\"" + program + L"\"\t" + place + L"\r\n"));
}

TEST_F(Start, NeverLooksInTheCurrentFolderOrOnThePath) {
    copyRecorder(place + L"\\recorder.exe");
    SetCurrentDirectoryW(folder.path().c_str());
    SetEnvironmentVariableW(L"PATH", place.c_str());
    for (const std::wstring path : {L"recorder.exe", L"recorder", L".\\带 空格 的文件夹\\recorder.exe",
                                    L"带 空格 的文件夹\\recorder.exe"}) {
        const sys::Started started = sys::system().start(path, L"");
        EXPECT_FALSE(started) << utf8(path);
        EXPECT_FALSE(started.process) << utf8(path);
    }
    // A full path to a missing file fails, though the current folder has one of that name.
    SetCurrentDirectoryW(place.c_str());
    const sys::Started missing = sys::system().start(folder.file(L"recorder.exe"), L"");
    EXPECT_EQ(missing.error, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    Sleep(300);
    EXPECT_EQ(log(place), "<none>");
}

TEST_F(Start, ABatchFileWithSpacesInItsPathRunsThroughTheCommandInterpreterWithoutAutoRun) {
    const std::wstring batch = place + L"\\渲染 一.bat";
    text::writeBytes(batch, "@echo ran> \"%~dp0ran.log\"\r\n");
    const sys::Started started = sys::system().start(batch, L"");
    ASSERT_TRUE(started) << started.error;
    ASSERT_TRUE(waitEnded(started));
    EXPECT_EQ(text::readBytes(place + L"\\ran.log").value_or("<none>"), "ran\r\n");
    // Without the user's AutoRun command (Wine's interpreter has none to skip).
    EXPECT_EQ(sys::batchCommand(L"C:\\cmd.exe", L"\"C:\\a b.bat\" 1"),
              L"\"C:\\cmd.exe\" /d /c \"\"C:\\a b.bat\" 1\"");
}
