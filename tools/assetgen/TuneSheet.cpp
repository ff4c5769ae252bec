#include "TuneSheet.h"

#include <stdexcept>
#include <string>

namespace tune {

namespace {

[[noreturn]] void BadText(std::string_view what, std::string_view text) {
    throw std::invalid_argument("tune sheet: " + std::string(what) + " \"" + std::string(text) + "\"");
}

constexpr int MajorSteps[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int MinorSteps[7] = {0, 2, 3, 5, 7, 8, 10};

// Moves a note by `steps` degrees of the key's scale; notes outside the scale move from the degree
// just below them, keeping their distance.
int DiatonicShift(int midiNote, int steps, Key key) {
    if (steps == 0) return midiNote;
    const int* scale = key.minor ? MinorSteps : MajorSteps;
    const int fromTonic = ((midiNote - key.tonic) % 12 + 12) % 12;
    int degree = 6;
    while (scale[degree] > fromTonic)
        --degree;
    const int chromatic = fromTonic - scale[degree];
    const int base = midiNote - fromTonic; // the tonic at or below the note
    const int target = degree + steps;
    const int octave = (target >= 0 ? target / 7 : (target - 6) / 7);
    return base + 12 * octave + scale[target - 7 * octave] + chromatic;
}

int RowCount(std::string_view token, std::string_view text) {
    int rows = 0;
    for (char c : text) {
        if (c < '0' || c > '9') BadText("bad length in", token);
        rows = rows * 10 + (c - '0');
    }
    if (rows <= 0) BadText("bad length in", token);
    return rows;
}

} // namespace

int MidiNote(std::string_view name) {
    constexpr int Letters[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') BadText("bad note", name);
    int note = Letters[name[0] - 'A'];
    size_t at = 1;
    if (name[at] == '#')
        ++note, ++at;
    else if (name[at] == 'b')
        --note, ++at;
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '8') BadText("bad octave in", name);
    return note + 12 * (name[at] - '0' + 1);
}

void Sheet::Note(int channel, int row, int midiNote, const Voice& voice, int volume) {
    if (row >= pattern.rows) return;
    const int xmNote = midiNote - 11; // MIDI 60 is C-4, XM note 49
    if (xmNote < 1 || xmNote > 96) BadText("note out of range", std::to_string(midiNote));
    xm::Cell& cell = pattern.At(row, channel);
    cell.note = static_cast<uint8_t>(xmNote);
    cell.instrument = voice.instrument;
    cell.volume = xm::Volume(volume >= 0 ? volume : voice.volume);
    if (voice.pan >= 0) Effect(channel, row, xm::EffectSetPanning, static_cast<uint8_t>(voice.pan));
}

void Sheet::Off(int channel, int row) {
    if (row >= pattern.rows) return;
    pattern.At(row, channel) = xm::Cell{xm::KeyOff, 0, 0, 0, 0};
}

void Sheet::Effect(int channel, int row, uint8_t effect, uint8_t parameter) {
    if (row >= pattern.rows) return;
    xm::Cell& cell = pattern.At(row, channel);
    cell.effect = effect;
    cell.parameter = parameter;
}

void Sheet::Line(int channel, int row, std::string_view line, const Voice& voice, int thirds, Key key) {
    while (!line.empty()) {
        const size_t space = line.find(' ');
        const std::string_view token = line.substr(0, space);
        line = space == std::string_view::npos ? std::string_view{} : line.substr(space + 1);
        if (token.empty()) continue;
        const size_t colon = token.find(':');
        if (colon == std::string_view::npos) BadText("missing length in", token);
        const std::string_view what = token.substr(0, colon);
        if (what == "r")
            Off(channel, row);
        else if (what != "-")
            Note(channel, row, DiatonicShift(MidiNote(what), thirds, key), voice);
        row += RowCount(token, token.substr(colon + 1));
    }
}

void Sheet::Steps(int channel, int row, int count, std::string_view steps, int midiNote, const Voice& voice) {
    if (steps.empty()) BadText("empty steps", steps);
    for (int i = 0; i < count; ++i) {
        const char step = steps[i % steps.size()];
        const int volume = step == 'X'   ? voice.volume
                           : step == 'x' ? voice.volume * 3 / 4
                           : step == 'o' ? voice.volume / 2
                                         : -1;
        if (volume >= 0) Note(channel, row + i, midiNote, voice, volume);
    }
}

} // namespace tune
