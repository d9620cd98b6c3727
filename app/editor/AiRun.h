// The AI run: Ai.bat starts the model, which has about three seconds to write
// output\output.sop. Only a score written during this run counts: a result that is
// missing, unreadable or left from an earlier run gives no score, but the cause.
#pragma once

#include <optional>
#include <string>

namespace ai {

struct Outcome {
    std::optional<std::wstring> score;  // the lines of the result, each with CR LF
    std::wstring cause;                 // why there is none
};

// Starts the model, posts the notification "Ai思考中", waits for it and reads its result.
Outcome compose();

}  // namespace ai
