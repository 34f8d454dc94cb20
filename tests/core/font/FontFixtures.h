#pragma once

#include "base/Error.h"
#include "base/Note.h"
#include "font/FontBank.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fontfixture {

// A node with the given geometry whose words are a pattern that uses only the cell's bits (so it survives
// the bank file, which prints CellWidth characters a word), and a palette whose entry 7 is `colour7`.
inline font::GlyphNode MakeNode(int colorType, int widthIndex, int heightIndex, std::uint32_t seed,
                                base::Colour colour7 = 0x000080) {
    font::GlyphNode node;
    node.ColorType = static_cast<std::uint8_t>(colorType);
    node.WidthIndex = static_cast<std::uint8_t>(widthIndex);
    node.HeightIndex = static_cast<std::uint8_t>(heightIndex);
    node.Palette = font::kStartPalette;
    node.Palette[7] = colour7;
    const unsigned mask = (1u << node.CellWidth()) - 1;
    for (std::uint32_t i = 0; i < node.WordCount(); ++i)
        node.Words.push_back(static_cast<std::uint16_t>(((i + seed) * 2654435761u >> 11) & mask));
    return node;
}

// A node whose words are all zero.
inline font::GlyphNode ZeroNode(int colorType, int widthIndex, int heightIndex) {
    font::GlyphNode node = MakeNode(colorType, widthIndex, heightIndex, 0);
    node.Palette = font::kStartPalette;
    node.Words.assign(node.Words.size(), 0);
    return node;
}

// What the window shows of an operation with DialogPrintError, one box after the other: its failure, then its
// errors.
inline std::vector<std::string> BoxedMessages(const base::Failure& failure, const base::Notes& notes) {
    std::vector<std::string> messages;
    if (failure) messages.push_back(*failure);
    for (const std::string& error : base::TextsOf(notes, base::Note::Kind::Error))
        messages.push_back(error);
    return messages;
}

} // namespace fontfixture
