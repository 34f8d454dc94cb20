#include "base/UndoHistory.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A snapshot of a given size.
struct Sized {
    int value = 0;
    std::size_t bytes = 1;
    std::size_t Bytes() const { return bytes; }
};

// The state a history restores, step by step, as a tab drives it.
struct Driven {
    base::UndoHistory<Sized> history;
    int state = 0;

    explicit Driven(std::size_t budget = base::UndoHistory<Sized>::kDefaultBudget) : history(budget) {}
    void Step(int to, std::size_t bytes = 1) {
        history.Record({state, bytes});
        state = to;
    }
    bool Undo() {
        const auto back = history.Undo({state, 1});
        if (back) state = back->value;
        return back.has_value();
    }
    bool Redo() {
        const auto again = history.Redo({state, 1});
        if (again) state = again->value;
        return again.has_value();
    }
};

TEST(UndoHistory, TakesStepsBackAndAgainAndForgetsRedoOnANewStep) {
    Driven d;
    EXPECT_FALSE(d.Undo());
    EXPECT_FALSE(d.Redo());
    d.Step(1);
    d.Step(2);
    d.Step(3);
    EXPECT_TRUE(d.Undo());
    EXPECT_EQ(d.state, 2);
    EXPECT_TRUE(d.Undo());
    EXPECT_EQ(d.state, 1);
    EXPECT_TRUE(d.Redo());
    EXPECT_EQ(d.state, 2);
    d.Step(7); // forgets 3
    EXPECT_FALSE(d.Redo());
    EXPECT_TRUE(d.Undo());
    EXPECT_EQ(d.state, 2);
    EXPECT_TRUE(d.Undo());
    EXPECT_TRUE(d.Undo());
    EXPECT_EQ(d.state, 0);
    EXPECT_FALSE(d.Undo());
    EXPECT_EQ(d.state, 0);

    // A step that changed nothing is dropped again; Clear forgets both ways.
    d.Step(0);
    d.history.DropLast();
    EXPECT_EQ(d.history.UndoCount(), 0u);
    EXPECT_EQ(d.history.RedoCount(), 0u); // the new step forgot what could be redone
    d.Step(5);
    d.Undo();
    d.history.Clear();
    EXPECT_FALSE(d.history.CanUndo());
    EXPECT_FALSE(d.history.CanRedo());
}

TEST(UndoHistory, KeepsAHundredStepsAndStaysWithinItsBudget) {
    Driven d;
    for (int i = 1; i <= 150; ++i)
        d.Step(i);
    EXPECT_EQ(d.history.UndoCount(), 100u);
    while (d.Undo()) {
    }
    EXPECT_EQ(d.state, 50); // the state before step 51, the oldest kept
    EXPECT_EQ(d.history.RedoCount(), 100u);

    // Snapshots of 40 bytes in a budget of 100: the two newest stay, and the newest stays whatever its size.
    Driven small(100);
    for (int i = 1; i <= 5; ++i)
        small.Step(i, 40);
    EXPECT_EQ(small.history.UndoCount(), 2u);
    small.Step(6, 500);
    EXPECT_EQ(small.history.UndoCount(), 1u);
    EXPECT_TRUE(small.Undo());
    EXPECT_EQ(small.state, 5);
}

} // namespace
