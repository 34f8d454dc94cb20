#pragma once

#include <string>
#include <vector>

namespace base {

// What an operation tells the user besides its result, when the message that stopped it (its `failure`,
// Error.h) is not all there is to say: each of its `notes` is a text and the kind of thing it tells. The kind
// says what a note is, not where it goes: the window shows errors in a message box, statuses on the message
// line, details beside it and shortfalls on a line of their own; the CLI writes statuses to stdout and the
// rest to stderr.
struct Note {
    enum class Kind {
        Error,     // something went wrong though the operation went on ("Create Node Fail !!!", a file left
                   // out of a list)
        Status,    // what was done ("B_R.txt OK !", "Half Word: 1 glyph(s) kept their stored order")
        Detail,    // what the other messages leave unsaid ("FONT_Init loads the first 256 of 340 cells")
        Shortfall, // what could not be done as asked though the result stands (a face standing in for one
                   // that is not installed)
    };
    Kind kind = Kind::Status;
    std::string text;

    friend bool operator==(const Note&, const Note&) = default;
};
using Notes = std::vector<Note>;

// The texts of the notes of one kind, in their order.
inline std::vector<std::string> TextsOf(const Notes& notes, Note::Kind kind) {
    std::vector<std::string> texts;
    for (const Note& note : notes)
        if (note.kind == kind) texts.push_back(note.text);
    return texts;
}

} // namespace base
