#include "engine/note_sequence.hpp"

#include <array>

namespace mw {
namespace {

constexpr std::array<const char*, 12> kNoteNames{"C",  "C#", "D",  "D#", "E",  "F",
                                                 "F#", "G",  "G#", "A",  "A#", "B"};

// Semitone of the letters A..G within an octave that starts at C.
constexpr std::array<int, 7> kLetterSemitone{9, 11, 0, 2, 4, 5, 7};

bool IsKept(unsigned char c) {
    return (c >= 'A' && c <= 'G') || (c >= '0' && c <= '9') || c == ' ' || c == '#';
}

} // namespace

std::vector<uint8_t> ParseNoteSequence(std::string_view text) {
    // Upper case, then only the characters of "ABCDEFG0123456789 #" remain (bytes of other letters,
    // separators and multi-byte characters vanish).
    std::string s;
    s.reserve(text.size());
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
        if (IsKept(c)) s.push_back(static_cast<char>(c));
    }

    std::vector<uint8_t> steps;
    steps.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        int value;
        if (c == ' ')
            value = kSilentStep;
        else if (c >= 'A' && c <= 'G')
            value = kLetterSemitone[size_t(c - 'A')];
        else {
            ++i; // a digit or "#" that follows no note
            continue;
        }
        ++i;
        if (i < s.size() && s[i] == '#') {
            value += 1;
            ++i;
        }
        if (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            value += 12 * (s[i] - '0');
            ++i;
        }
        steps.push_back(static_cast<uint8_t>(value)); // at most 128 + 1 + 108
    }
    return steps;
}

std::string NoteName(int note) {
    if (note < 0) note = 0;
    return std::string(kNoteNames[size_t(note % 12)]) + std::to_string(note / 12);
}

} // namespace mw
