// A pattern being written by hand: melodies in a compact text form, drum steps, chords by name.
#pragma once

#include "XmWriter.h"

#include <string_view>

namespace tune {

// "C4" is middle C (MIDI 60); sharps with '#', flats with 'b': "F#3", "Bb1".
int MidiNote(std::string_view name);

struct Voice {
    uint8_t instrument;
    int volume;   // 0 ... 64
    int pan = -1; // 0 ... 255, or -1 to keep the sample's own
};

// A minor or major key, for harmonising a line in thirds.
struct Key {
    int tonic; // pitch class, 0 = C
    bool minor;
};

class Sheet {
  public:
    explicit Sheet(int channels, int rows = 64) : pattern(rows, channels) {}

    // Plays "note:rows" tokens from `row`: "A4:4" sounds A4 for four rows, "r:2" rests (a key-off),
    // "-:4" holds the note before for four more rows. `thirds` moves every note that many diatonic
    // steps within `key` (-2: a third below). Notes past the end of the pattern are dropped.
    void Line(int channel, int row, std::string_view line, const Voice& voice, int thirds = 0,
              Key key = {9, true});

    // One character per row from `row` for `count` rows, the text repeated: 'X' full, 'x' three
    // quarters, 'o' half the voice's volume, anything else nothing.
    void Steps(int channel, int row, int count, std::string_view steps, int midiNote, const Voice& voice);

    void Note(int channel, int row, int midiNote, const Voice& voice, int volume = -1);
    void Off(int channel, int row);
    void Effect(int channel, int row, uint8_t effect, uint8_t parameter);

    xm::Pattern pattern;
};

} // namespace tune
