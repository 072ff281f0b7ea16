#pragma once
// The root key as the editor shows and reads it: 128 names of exactly four
// characters ("C -2" ... "G  8") and the rules that turn a typed answer into
// a note.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace sarnel {

constexpr int kNoteCount = 128;

// The name of MIDI note n (0 ... 127): the letter (a sharp takes two
// characters, a plain letter is followed by a blank), then the octave n div
// 12 - 2 as "-2", "-1" or a blank and the digit.
std::string_view noteName(int note);

// The index of the entry equal to `name`, or 0 ("C -2") when there is none.
int noteFromName(std::string_view name);

// The note of an answer typed into the "New key" box. Upper-cased first; an
// answer that starts with a digit is a MIDI number (clamped to 0 ... 127, 48
// when it is not an integer), anything else a note name ("C4", "C#4",
// "C-2"). An empty answer has no first character to test and is read as a
// name, which no entry equals: note 0.
int noteFromTypedAnswer(std::string_view answer);

}  // namespace sarnel
