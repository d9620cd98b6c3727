#include "editor/History.h"

#include <algorithm>

namespace editor {

namespace {

constexpr size_t kLongestWord = 32;  // a run of typing without a space is cut here

bool isSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\x3000';
}

size_t sizeOf(const Change& change) {
    return change.removed.size() + change.inserted.size();
}

}  // namespace

Change difference(std::wstring_view before, std::wstring_view after, size_t caretAfter) {
    const size_t shorter = std::min(before.size(), after.size());
    size_t end = 0;
    const size_t mostEnd = std::min(shorter, after.size() - std::min(caretAfter, after.size()));
    while (end < mostEnd && before[before.size() - 1 - end] == after[after.size() - 1 - end]) ++end;
    const size_t start = static_cast<size_t>(
        std::mismatch(before.begin(), before.begin() + static_cast<ptrdiff_t>(shorter - end), after.begin())
            .first -
        before.begin());
    return {start, std::wstring(before.substr(start, before.size() - end - start)),
            std::wstring(after.substr(start, after.size() - end - start))};
}

bool History::joins(const Step& last, const Change& change) const {
    if (sealed_ || !last.typed) return false;
    const Change& was = last.change;
    if (change.removed.empty()) {  // typing on at the end of what was typed
        if (!was.removed.empty() && was.inserted.empty()) return false;
        if (change.at != was.at + was.inserted.size() || was.inserted.size() >= kLongestWord) return false;
        // A word and the spaces after it are one step; the next word starts another.
        return !(isSpace(was.inserted.back()) && !isSpace(change.inserted.front()));
    }
    if (!change.inserted.empty() || !was.inserted.empty() || was.removed.size() >= kLongestWord) return false;
    return change.at + change.removed.size() == was.at  // Backspace
           || change.at == was.at;                      // Delete
}

void History::record(Change change, bool typed) {
    if (change.empty()) return;
    for (const Step& step : undone_) characters_ -= sizeOf(step.change);
    undone_.clear();
    characters_ += sizeOf(change);
    if (!done_.empty() && typed && joins(done_.back(), change)) {
        Change& was = done_.back().change;
        if (change.removed.empty())
            was.inserted += change.inserted;
        else if (change.at == was.at)
            was.removed += change.removed;
        else {
            was.removed.insert(0, change.removed);
            was.at = change.at;
        }
    } else {
        done_.push_back({std::move(change), typed});
    }
    sealed_ = !typed;
    while (done_.size() > kMostSteps || (characters_ > kMostCharacters && done_.size() > 1)) dropOldest();
}

void History::dropOldest() {
    characters_ -= sizeOf(done_.front().change);
    done_.pop_front();
}

std::optional<Edit> History::undo() {
    return transfer(done_, undone_, true);
}

std::optional<Edit> History::redo() {
    return transfer(undone_, done_, false);
}

// Moves the last step of `from` onto `to`: the edit that takes it back, or puts it in again.
std::optional<Edit> History::transfer(std::deque<Step>& from, std::deque<Step>& to, bool back) {
    sealed_ = true;
    if (from.empty()) return std::nullopt;
    to.push_back(std::move(from.back()));
    from.pop_back();
    const Change& kept = to.back().change;
    return back ? Edit{kept.at, kept.inserted, kept.removed} : Edit{kept.at, kept.removed, kept.inserted};
}

void History::clear() {
    done_.clear();
    undone_.clear();
    characters_ = 0;
    sealed_ = true;
}

}  // namespace editor
