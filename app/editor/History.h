// The editor's undo history. Each step keeps only what changed (where, the text taken
// out and the text put in), never the whole score, so that a long history of a large
// score stays small. Typing is grouped into word-sized steps; everything else (a paste,
// a cut, an AI score, New) is a step of its own.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace editor {

// The text from `at` on that was `removed` now reads `inserted`.
struct Change {
    size_t at = 0;
    std::wstring removed, inserted;
    bool empty() const { return removed.empty() && inserted.empty(); }
};

// A step to put into the text, as undo and redo give it: views of what the history
// keeps, valid until it changes next.
struct Edit {
    size_t at = 0;
    std::wstring_view removed, inserted;
};

// The change that turns `before` into `after`: the common start and end kept. The
// caret after the change bounds the common end, so that a letter typed beside the same
// letter is found where it was typed.
Change difference(std::wstring_view before, std::wstring_view after, size_t caretAfter);

class History {
public:
    static constexpr size_t kMostSteps = 1000;
    static constexpr size_t kMostCharacters = 16u << 20;  // 32 MB of text in all steps

    // A change made to the text. `typed`: one key's worth of typing or deleting, which
    // joins the step before it while the word goes on.
    void record(Change change, bool typed);
    // The edit that takes the text one step back, or forward again; nothing at the end.
    std::optional<Edit> undo();
    std::optional<Edit> redo();
    void clear();

    size_t steps() const { return done_.size(); }
    // The characters the history holds.
    size_t characters() const { return characters_; }

private:
    struct Step {
        Change change;
        bool typed = false;
    };
    bool joins(const Step& last, const Change& change) const;
    void dropOldest();
    std::optional<Edit> transfer(std::deque<Step>& from, std::deque<Step>& to, bool back);

    std::deque<Step> done_;
    std::deque<Step> undone_;
    size_t characters_ = 0;
    bool sealed_ = true;  // the last step takes no more typing (after an undo, say)
};

}  // namespace editor
