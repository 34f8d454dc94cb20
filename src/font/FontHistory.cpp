#include "font/FontHistory.h"

#include "font/FontState.h"

namespace font {

std::size_t FontSnapshot::Bytes() const {
    // The bank is shared between snapshots that hold the same one; each counts it, which errs on the safe
    // side.
    std::size_t bytes = sizeof(FontSnapshot) + editor.PreviewSurface.Pixels().size() * sizeof(base::Colour);
    if (bank)
        for (const GlyphNode& node : bank->Nodes())
            bytes += sizeof(GlyphNode) + node.Words.size() * sizeof(std::uint16_t);
    return bytes;
}

bool SameDocument(const GlyphEditor& a, const GlyphEditor& b) {
    return a.PreviewSurface == b.PreviewSurface && a.FontPalette == b.FontPalette &&
           a.LeftColor == b.LeftColor && a.RightColor == b.RightColor && a.LeftIndex == b.LeftIndex &&
           a.RightIndex == b.RightIndex && a.LeftHint == b.LeftHint && a.RightHint == b.RightHint &&
           a.ColorType() == b.ColorType() && a.WidthIndex() == b.WidthIndex() &&
           a.HeightIndex() == b.HeightIndex() && a.XOffset() == b.XOffset() && a.YOffset() == b.YOffset();
}

FontSnapshot FontHistory::SnapshotOf(const FontState& state, const FontSnapshot* near) const {
    FontSnapshot s{state.Editor, nullptr};
    if (near && near->bank && near->bank->Nodes() == state.Bank.Nodes())
        s.bank = near->bank;
    else
        s.bank = std::make_shared<const FontBank>(state.Bank);
    return s;
}

void FontHistory::Begin(const FontState& state) {
    steps_.Record(SnapshotOf(state, steps_.Last()));
}

void FontHistory::End(const FontState& state) {
    const FontSnapshot* last = steps_.Last();
    if (last && SameDocument(last->editor, state.Editor) && last->bank->Nodes() == state.Bank.Nodes())
        steps_.DropLast();
}

namespace {

void Restore(FontState& state, const FontSnapshot& s) {
    GlyphEditor editor = s.editor;
    editor.CurrentFont = state.Editor.CurrentFont;
    editor.Smooth = state.Editor.Smooth;
    editor.InkThreshold = state.Editor.InkThreshold;
    state.Editor = std::move(editor);
    state.Bank = *s.bank;
}

} // namespace

bool FontHistory::Undo(FontState& state) {
    if (!steps_.CanUndo()) return false;
    const auto back = steps_.Undo(SnapshotOf(state, steps_.Last()));
    Restore(state, *back);
    return true;
}

bool FontHistory::Redo(FontState& state) {
    if (!steps_.CanRedo()) return false;
    const auto again = steps_.Redo(SnapshotOf(state, steps_.Last()));
    Restore(state, *again);
    return true;
}

} // namespace font
