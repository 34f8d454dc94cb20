#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <utility>

namespace base {

// The steps of one document that Ctrl+Z takes back and Ctrl+Shift+Z (Ctrl+Y) makes again, kept as
// snapshots of the state before each step. A tab records a snapshot just before a step changes its state
// and settles the step after it (a step that changed nothing is dropped again); undoing hands back the
// snapshot to restore and keeps the state it replaces for redoing. A new step forgets what could be redone.
//
// At least kSteps steps are kept. Snapshot has `std::size_t Bytes() const`: beyond kSteps, and beyond
// byteBudget bytes of snapshots, the oldest steps are forgotten (the budget only bites for snapshots of
// several megabytes each, so that a long session on a large picture cannot exhaust the memory).
template <class Snapshot> class UndoHistory {
public:
    static constexpr std::size_t kSteps = 100;
    static constexpr std::size_t kDefaultBudget = std::size_t{512} << 20;

    explicit UndoHistory(std::size_t byteBudget = kDefaultBudget) : budget_(byteBudget) {}

    // A step is about to change the state; before is the state as it is now.
    void Record(Snapshot before) {
        redo_.clear();
        bytes_ = 0;
        for (const Snapshot& s : undo_)
            bytes_ += s.Bytes();
        bytes_ += before.Bytes();
        undo_.push_back(std::move(before));
        while (undo_.size() > kSteps || (undo_.size() > 1 && bytes_ > budget_)) {
            bytes_ -= undo_.front().Bytes();
            undo_.pop_front();
        }
    }

    // The last recorded snapshot (the state before the step under way), or null.
    const Snapshot* Last() const { return undo_.empty() ? nullptr : &undo_.back(); }
    // Forgets the last recorded snapshot: the step it was taken for changed nothing.
    void DropLast() {
        if (!undo_.empty()) undo_.pop_back();
    }

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    std::size_t UndoCount() const { return undo_.size(); }
    std::size_t RedoCount() const { return redo_.size(); }

    // Ctrl+Z: the snapshot to restore; now (the state it replaces) is kept for Redo. Nothing when no step
    // is left.
    std::optional<Snapshot> Undo(Snapshot now) {
        if (undo_.empty()) return std::nullopt;
        redo_.push_back(std::move(now));
        Snapshot back = std::move(undo_.back());
        undo_.pop_back();
        return back;
    }
    // Ctrl+Shift+Z: the snapshot to restore; now is kept for Undo. Nothing when nothing was undone.
    std::optional<Snapshot> Redo(Snapshot now) {
        if (redo_.empty()) return std::nullopt;
        undo_.push_back(std::move(now));
        Snapshot again = std::move(redo_.back());
        redo_.pop_back();
        return again;
    }

    // Another document was opened: no step of the old one can be taken back.
    void Clear() {
        undo_.clear();
        redo_.clear();
    }

private:
    std::deque<Snapshot> undo_;
    std::deque<Snapshot> redo_;
    std::size_t budget_;
    std::size_t bytes_ = 0;
};

} // namespace base
