#pragma once

#include "base/UndoHistory.h"
#include "font/FontBank.h"
#include "font/GlyphEditor.h"

#include <memory>

namespace font {

struct FontState;

// What Ctrl+Z restores on the Font tab: the glyph designer's picture, palette, paint colours and geometry,
// and the bank. The chosen font and the Smooth and threshold choices are settings of the designer, not
// steps: restoring keeps them as they are. Snapshots that hold the same bank share it.
struct FontSnapshot {
    GlyphEditor editor;
    std::shared_ptr<const FontBank> bank;

    std::size_t Bytes() const;
};

// The Font tab's steps: a paint stroke from press to release, Invert, Clear, a palette entry change, a
// rendering of the entry box, the boxes of colour type, geometry and offsets, a glyph Load, a glyph picked
// from the bank, Insert, the bank's Delete and Clear, and the strings' Generate and Ascii. Loading a bank
// file clears it.
class FontHistory final {
public:
    // Before a step: remembers the state as it is now.
    void Begin(const FontState& state);
    // After the step: a step that changed nothing is forgotten again.
    void End(const FontState& state);
    // Ctrl+Z / Ctrl+Shift+Z: puts the state back; false when there was nothing to take back or redo.
    bool Undo(FontState& state);
    bool Redo(FontState& state);
    void Clear() { steps_.Clear(); }
    bool CanUndo() const { return steps_.CanUndo(); }
    bool CanRedo() const { return steps_.CanRedo(); }

private:
    FontSnapshot SnapshotOf(const FontState& state, const FontSnapshot* near) const;
    base::UndoHistory<FontSnapshot> steps_;
};

// Whether two designers hold the same document: picture, palette, paint colours and their boxes, geometry
// and offsets (not the font or the rendering choices).
bool SameDocument(const GlyphEditor& a, const GlyphEditor& b);

} // namespace font
