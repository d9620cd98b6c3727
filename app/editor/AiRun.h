// The AI run: Ai.bat starts the model, which has about three seconds to write
// output\output.sop. Only a score written during this run counts: a result that is
// missing, unreadable or left from an earlier run gives no score, but the cause.
// A model that is slow to start (a virus scan of its first start) is waited for a
// while longer, up to kLongestWait; one that has ended without a score, no longer.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ai {

struct Outcome {
    std::optional<std::wstring> score;  // the lines of the result, each with CR LF
    std::wstring cause;                 // why there is none
};

// The wait the notification promises, and the longest the run waits in all.
constexpr unsigned kWait = 3000;
constexpr unsigned kLongestWait = 15000;

// Told, while the run waits past kWait, how long it has waited so far (ms).
using Waiting = std::function<void(unsigned waited)>;

// Starts the model, posts the notification "Ai思考中", waits for it and reads its result.
Outcome compose(const Waiting& waiting = {});

// The same run for what follows `context`, the score before the editor's caret: it is
// left for the model in output\context.sop (GBK), and Ai.bat runs in the mode "continue".
Outcome continueFrom(std::wstring_view context, const Waiting& waiting = {});

}  // namespace ai
