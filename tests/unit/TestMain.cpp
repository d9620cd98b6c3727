// The test programs' main: GoogleTest's, then an end that does not wait for the
// system's libraries to unload. Under Wine, on a fresh prefix, a test process that had
// written its whole report once stayed alive at its exit until ctest's time ran out.
// What a test checks happens before this point; how a program of ours ends is checked
// by the end-to-end tests, which wait for the real programs to be gone.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::fflush(stdout);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
    return result;
}
