// The exit codes of the joiner wav\wavjoin.exe, which outputWAV.bat passes on to the
// editor so that it can say what failed.
#pragma once

namespace install {

enum JoinerExit : int {
    JoinerWritten = 0,
    JoinerMissing = 3,     // the script or a sample is missing
    JoinerUnreadable = 4,  // the script or a sample cannot be read
    JoinerNotWritten = 5,  // the output cannot be written
};

}  // namespace install
