#include "sampler/editor/NoteNames.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "controls/NumberText.h"

namespace sarnel {

namespace {

std::array<std::string, kNoteCount> buildNoteNames() {
  static constexpr std::array<std::string_view, 12> letters{"C ", "C#", "D ", "D#", "E ", "F ",
                                                            "F#", "G ", "G#", "A ", "A#", "B "};
  std::array<std::string, kNoteCount> names;
  for (int n = 0; n < kNoteCount; ++n) {
    const int octave = n / 12 - 2;
    std::string name(letters[static_cast<std::size_t>(n % 12)]);
    name += octave < 0 ? "-" : " ";
    name += static_cast<char>('0' + (octave < 0 ? -octave : octave));
    names[static_cast<std::size_t>(n)] = std::move(name);
  }
  return names;
}

const std::array<std::string, kNoteCount>& noteNames() {
  static const std::array<std::string, kNoteCount> names = buildNoteNames();
  return names;
}

// "C4" -> "C  4", "C#4" -> "C# 4", "C-2" -> "C -2"; other lengths stay.
std::string spacedNoteName(const std::string& typed) {
  if (typed.size() == 2) return std::string{typed[0], ' ', ' ', typed[1]};
  if (typed.size() == 3) {
    if (typed[1] == '#') return std::string{typed[0], '#', ' ', typed[2]};
    return std::string{typed[0], ' ', typed[1], typed[2]};
  }
  return typed;
}

}  // namespace

std::string_view noteName(int note) { return noteNames()[static_cast<std::size_t>(std::clamp(note, 0, 127))]; }

int noteFromName(std::string_view name) {
  const auto& names = noteNames();
  const auto found = std::find(names.begin(), names.end(), name);
  return found == names.end() ? 0 : static_cast<int>(found - names.begin());
}

int noteFromTypedAnswer(std::string_view answer) {
  std::string typed(answer);
  for (char& c : typed) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (typed.empty() || typed[0] < '0' || typed[0] > '9') return noteFromName(spacedNoteName(typed));
  const std::optional<std::int32_t> number = controls::parseInteger(typed);
  if (!number) return 48;
  return std::clamp(*number, 0, 127);
}

}  // namespace sarnel
