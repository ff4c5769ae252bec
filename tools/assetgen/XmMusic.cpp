// The two tunes: sound/1.xm for the title and menus (slow and spacious, D minor) and sound/2.xm for
// the game (driving, 140 BPM, A minor). Each tune is a table of four-bar sections, one pattern each,
// played in order and looping back to the second section.
#include "AssetGen.h"
#include "TuneInstruments.h"
#include "TuneSheet.h"

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

using tune::MidiNote;
using tune::Sheet;
using tune::Voice;

constexpr int BarRows = 16; // sixteenth notes
constexpr int BarsPerSection = 4;
constexpr int SectionRows = BarRows * BarsPerSection;

struct Chord {
    const char* name;
    const char* voicing; // three notes for the pad, low to high
    const char* bass;
};

struct ChordNotes {
    int tones[3];
    int bass;
};

// Splits "a b c" into words.
std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    while (!text.empty()) {
        const size_t space = text.find(' ');
        if (space != 0) words.push_back(text.substr(0, space));
        if (space == std::string_view::npos) break;
        text = text.substr(space + 1);
    }
    return words;
}

template <size_t N> std::vector<ChordNotes> Progression(const Chord (&table)[N], std::string_view names) {
    std::vector<ChordNotes> bars;
    for (std::string_view name : Words(names)) {
        const Chord* found = nullptr;
        for (const Chord& chord : table)
            if (name == chord.name) found = &chord;
        if (!found) throw std::invalid_argument("tune: unknown chord " + std::string(name));
        const std::vector<std::string_view> voicing = Words(found->voicing);
        bars.push_back({{MidiNote(voicing.at(0)), MidiNote(voicing.at(1)), MidiNote(voicing.at(2))},
                        MidiNote(found->bass)});
    }
    if (bars.size() != BarsPerSection) throw std::invalid_argument("tune: a section has four chords");
    return bars;
}

// One pad voice per chord tone, each struck at the start of its bar.
void Pads(Sheet& sheet, int firstChannel, const std::vector<ChordNotes>& bars, Voice voice) {
    constexpr int Pans[3] = {70, 128, 186};
    for (int bar = 0; bar < BarsPerSection; ++bar)
        for (int v = 0; v < 3; ++v) {
            voice.pan = Pans[v];
            sheet.Note(firstChannel + v, bar * BarRows, bars[bar].tones[v], voice);
        }
}

// A bass bar, one character per row: 'R' root, 'O' root an octave up, '5' the fifth, '^' key-off.
void Bass(Sheet& sheet, int channel, const std::vector<ChordNotes>& bars, std::string_view steps,
          const Voice& voice) {
    for (int bar = 0; bar < BarsPerSection; ++bar)
        for (int i = 0; i < BarRows; ++i) {
            const int row = bar * BarRows + i;
            const int root = bars[bar].bass;
            switch (steps[i % steps.size()]) {
            case 'R':
                sheet.Note(channel, row, root, voice);
                break;
            case 'O':
                sheet.Note(channel, row, root + 12, voice);
                break;
            case '5':
                sheet.Note(channel, row, root + 7, voice);
                break;
            case '^':
                sheet.Off(channel, row);
                break;
            default:
                break;
            }
        }
}

// Broken chords: each digit picks a chord tone counted upwards through the octaves (0-2 the chord,
// 3-5 the chord an octave up, ...), a '.' rests; one character per `rowsPerStep` rows. An echo copy
// follows `echoDelay` rows later on the next channel, quieter and panned the other way.
struct Arpeggio {
    std::string_view order;
    int rowsPerStep;
    int octaveShift;
    Voice voice;
    Voice echo;
    int echoDelay;
};

void Arpeggiate(Sheet& sheet, int channel, const std::vector<ChordNotes>& bars, const Arpeggio& arp) {
    for (int row = 0, step = 0; row < SectionRows; row += arp.rowsPerStep, ++step) {
        const char symbol = arp.order[step % arp.order.size()];
        if (symbol < '0' || symbol > '9') continue;
        const int index = symbol - '0';
        const int note = bars[row / BarRows].tones[index % 3] + 12 * (index / 3 + arp.octaveShift);
        sheet.Note(channel, row, note, arp.voice);
        if (arp.echoDelay > 0) sheet.Note(channel + 1, row + arp.echoDelay, note, arp.echo);
    }
}

// Sustained voices hold until released: a section without them lets go of the last one's notes.
void Release(Sheet& sheet, std::initializer_list<int> channels) {
    for (int channel : channels)
        sheet.Off(channel, 0);
}

void Drums(Sheet& sheet, int channel, const char* steps, const char* note, const Voice& voice) {
    if (steps) sheet.Steps(channel, 0, SectionRows, steps, MidiNote(note), voice);
}

xm::Module NewModule(const char* name, int channels, int beatsPerMinute) {
    xm::Module module;
    module.name = name;
    module.channels = channels;
    module.ticksPerRow = 6;
    module.beatsPerMinute = beatsPerMinute;
    module.restartPosition = 1; // the intro plays once; the loop starts where the bass comes in
    return module;
}

void AddPattern(xm::Module& module, Sheet& sheet) {
    module.orders.push_back(static_cast<uint8_t>(module.patterns.size()));
    module.patterns.push_back(std::move(sheet.pattern));
}

// ---- sound/1.xm: the title tune ------------------------------------------------------------------

namespace title {

constexpr tune::Tempo Tempo{80}; // a sixteenth per row: 80 beats a minute
enum Instrument : uint8_t {
    PadSound = 1,
    BassSound,
    BellSound,
    LeadSound,
    KickSound,
    SnareSound,
    HatSound,
    CrashSound
};
enum Channel {
    PadChannel = 0,
    BassChannel = 3,
    BellChannel = 4,
    LeadChannel = 6,
    KickChannel = 8,
    HatChannel = 9,
    Channels
};

constexpr Chord Chords[] = {
    {"Dm", "D4 F4 A4", "D2"}, {"Bb", "D4 F4 Bb4", "Bb1"}, {"F", "C4 F4 A4", "F2"},
    {"C", "C4 E4 G4", "C2"},  {"Gm", "D4 G4 Bb4", "G1"},  {"A", "C#4 E4 A4", "A1"},
};

constexpr const char* VerseA = "A4:6 F4:2 D5:8 C5:4 D5:2 C5:2 Bb4:8 A4:6 C5:2 F5:8 E5:6 D5:2 C5:4 G4:4";
constexpr const char* VerseA2 = "A4:6 F4:2 D5:6 E5:2 F5:6 E5:2 D5:8 C5:4 A4:4 C5:4 F5:4 E5:10 D5:2 C5:4";
constexpr const char* BridgeB = "G5:6 F5:2 D5:8 F5:6 D5:2 Bb4:8 A4:4 D5:4 F5:4 A5:4 G5:6 F5:2 E5:4 C#5:4";
constexpr const char* BridgeB2 = "D5:4 G5:4 Bb5:6 A5:2 G5:6 E5:2 C5:8 A5:6 G5:2 F5:4 C5:4 E5:8 C#5:4 A4:4";
constexpr const char* Coda = "F5:8 D5:8 E5:8 C5:8 D5:16 -:12 r:4";

struct Section {
    const char* chords;
    const char* melody;
    const char* bells;
    const char* bass;
    const char* kick;
    const char* snare;
    const char* hats;
    bool crash;
};

constexpr const char* Rolling = "01234321";
constexpr const char* Soft = "o.o.o.o.o.o.o.o.";
constexpr const char* Swung = "o.x.o.x.o.x.o.x.";

// clang-format off
constexpr Section Sections[] = {
    // chords      melody    bells      bass                kick                snare               hats   crash
    {"Dm Bb F C",  nullptr,  Rolling,   nullptr,            nullptr,            nullptr,            nullptr, false}, // intro
    {"Dm Bb F C",  nullptr,  Rolling,   "R...............", "X...............", nullptr,            nullptr, false},
    {"Dm Bb F C",  VerseA,   Rolling,   "R.......R...5...", "X.........X.....", "........x.......", Soft,    false},
    {"Dm Bb F C",  VerseA2,  "02132435", "R.......R...5...", "X.........X.....", "........x.......", Soft,   false},
    {"Gm Bb Dm A", BridgeB,  Rolling,   "R.......R.R.5...", "X.....x...X.....", "........X.......", Swung,   true},
    {"Gm C F A",   BridgeB2, Rolling,   "R.......R.R.5...", "X.....x...X.....", "........X.......", Swung,   false},
    {"Bb C Dm Dm", nullptr,  "5.4.3.2.", "R...............", nullptr,           nullptr,            nullptr, false}, // breakdown
    {"Dm Bb F C",  VerseA,   Rolling,   "R.......R...5...", "X.....x...X.....", "........X.......", Swung,   true},
    {"Dm Bb F C",  VerseA2,  "02132435", "R.......R.R.5...", "X.....x...X.....", "........X.......", Swung,  false},
    {"Bb C Dm Dm", Coda,     Rolling,   "R...............", "X...............", nullptr,            nullptr, false}, // coda
};
// clang-format on

Sheet Compose(const Section& section) {
    Sheet sheet(Channels);
    const std::vector<ChordNotes> bars = Progression(Chords, section.chords);
    Pads(sheet, PadChannel, bars, {PadSound, 24});
    if (section.bass) Bass(sheet, BassChannel, bars, section.bass, {BassSound, 46});
    if (section.bells)
        Arpeggiate(sheet, BellChannel, bars,
                   {section.bells, 2, 1, {BellSound, 26, 96}, {BellSound, 13, 176}, 3});
    if (section.melody) {
        sheet.Line(LeadChannel, 0, section.melody, {LeadSound, 44, 110});
        sheet.Line(LeadChannel + 1, 3, section.melody, {LeadSound, 16, 200});
    } else {
        Release(sheet, {LeadChannel, LeadChannel + 1});
    }
    Drums(sheet, KickChannel, section.kick, "C4", {KickSound, 44});
    Drums(sheet, KickChannel, section.snare, "C4", {SnareSound, 30});
    Drums(sheet, HatChannel, section.hats, "C4", {HatSound, 22});
    if (section.crash) sheet.Note(HatChannel, 0, MidiNote("C4"), {CrashSound, 30});
    return sheet;
}

} // namespace title

// ---- sound/2.xm: the game tune -------------------------------------------------------------------

namespace game {

constexpr tune::Tempo Tempo{140};
enum Instrument : uint8_t {
    KickSound = 1,
    SnareSound,
    HatSound,
    OpenHatSound,
    CrashSound,
    BassSound,
    LeadSound,
    PluckSound,
    PadSound
};
enum Channel {
    KickChannel = 0,
    SnareChannel,
    HatChannel,
    BassChannel,
    LeadChannel,
    HarmonyChannel,
    ArpChannel,
    EchoChannel,
    PadChannel,
    CymbalChannel = 11,
    Channels
};

constexpr Chord Chords[] = {
    {"Am", "A3 C4 E4", "A1"}, {"F", "A3 C4 F4", "F1"},  {"C", "G3 C4 E4", "C2"},
    {"G", "G3 B3 D4", "G1"},  {"Em", "G3 B3 E4", "E1"}, {"Dm", "A3 D4 F4", "D2"},
};

constexpr const char* RiffA = "A4:3 C5:3 E5:2 A5:4 G5:2 E5:2 F5:3 E5:3 C5:2 A4:4 C5:4 "
                              "G4:3 C5:3 E5:2 G5:4 F5:2 E5:2 D5:6 B4:2 G4:4 B4:4";
constexpr const char* RiffA2 = "A4:3 C5:3 E5:2 A5:4 B5:2 C6:2 A5:6 G5:2 F5:4 E5:2 F5:2 "
                               "E5:3 D5:3 C5:2 E5:4 G5:4 B5:6 A5:2 G5:4 D5:4";
constexpr const char* ChorusB = "C6:6 A5:2 F5:8 D6:6 B5:2 G5:8 E6:4 D6:4 B5:4 G5:4 A5:12 E5:4";
constexpr const char* ChorusB2 = "A5:4 C6:4 F6:6 E6:2 D6:4 B5:4 G5:6 A5:2 E5:3 A5:3 C6:2 B5:4 A5:4 A5:12 r:4";
constexpr const char* Rise = "D5:4 F5:4 A5:8 E5:4 A5:4 C6:8 F5:4 A5:4 C6:8 D6:4 B5:4 G5:4 B5:4";

struct Section {
    const char* chords;
    const char* melody;
    bool harmony;
    const char* arp;
    const char* bass;
    const char* kick;
    const char* snare;
    const char* fill; // the snare of the last bar, instead of `snare`
    const char* hats;
    const char* openHats;
    bool pads;
    bool crash;
};

constexpr const char* Arp = "0123212301232123";
constexpr const char* Drive = "R.R.O.R.R.R.O.R.";
constexpr const char* Four = "X...X...X...X...";
constexpr const char* Backbeat = "....X.......X...";
constexpr const char* Offbeat = "o.x.o.x.o.x.o.x.";
constexpr const char* Lift = "..x...x...x...x.";

// clang-format off
constexpr Section Sections[] = {
    // chords     melody    harmony arp    bass                kick  snare               fill                hats                open hats pads crash
    {"Am F C G",  nullptr,  false, Arp,    nullptr,            Four, nullptr,            nullptr,            Lift,               nullptr, false, true},
    {"Am F C G",  nullptr,  false, Arp,    Drive,              Four, Backbeat,           "....X.......XxXX", Offbeat,            nullptr, true, true},
    {"Am F C G",  RiffA,    false, Arp,    Drive,              Four, Backbeat,           nullptr,            Offbeat,            nullptr, true, true},
    {"Am F C G",  RiffA2,   false, Arp,    Drive,              Four, Backbeat,           "....X.....x.XXXX", Offbeat,            nullptr, true, false},
    {"F G Em Am", ChorusB,  true,  Arp,    Drive,              Four, Backbeat,           nullptr,            Offbeat,            Lift,    true, true},
    {"F G Am Am", ChorusB2, true,  Arp,    Drive,              Four, Backbeat,           "....X.......XXXX", Offbeat,            Lift,    true, false},
    {"Dm Am F G", nullptr,  false, "0...1...2...4...", "R...............", nullptr, nullptr, nullptr,  "....o.......o...", nullptr, true, true},
    {"Dm Am F G", Rise,     false, Arp,    "R.R.R.R.R.R.R.R.", Four, "X.......X.......", "x.x.x.x.xxxxXXXX", Offbeat,            nullptr, true, false},
    {"Am F C G",  RiffA,    true,  Arp,    Drive,              Four, Backbeat,           nullptr,            Offbeat,            Lift,    true, true},
    {"Am F C G",  RiffA2,   true,  Arp,    Drive,              Four, Backbeat,           "....X.....x.XXXX", Offbeat,            Lift,    true, false},
    {"F G Em Am", ChorusB,  true,  Arp,    Drive,              Four, Backbeat,           nullptr,            Offbeat,            Lift,    true, true},
    {"F G Am Am", ChorusB2, true,  Arp,    Drive,              Four, Backbeat,           "....X.......XXXX", Offbeat,            Lift,    true, false},
};
// clang-format on

Sheet Compose(const Section& section) {
    Sheet sheet(Channels);
    const std::vector<ChordNotes> bars = Progression(Chords, section.chords);
    if (section.pads)
        Pads(sheet, PadChannel, bars, {PadSound, 20});
    else
        Release(sheet, {PadChannel, PadChannel + 1, PadChannel + 2});
    if (section.bass)
        Bass(sheet, BassChannel, bars, section.bass, {BassSound, 48});
    else
        Release(sheet, {BassChannel});
    Arpeggiate(sheet, ArpChannel, bars, {section.arp, 1, 1, {PluckSound, 22, 170}, {}, 0});
    if (section.melody) {
        sheet.Line(LeadChannel, 0, section.melody, {LeadSound, 40, 128});
        sheet.Line(EchoChannel, 3, section.melody, {LeadSound, 14, 60});
        if (section.harmony) sheet.Line(HarmonyChannel, 0, section.melody, {LeadSound, 24, 190}, -2);
    }
    if (!section.melody) Release(sheet, {LeadChannel, EchoChannel});
    if (!section.harmony) Release(sheet, {HarmonyChannel});
    Drums(sheet, KickChannel, section.kick, "C4", {KickSound, 60});
    Drums(sheet, HatChannel, section.hats, "C4", {HatSound, 30});
    Drums(sheet, CymbalChannel, section.openHats, "C4", {OpenHatSound, 24});
    if (section.snare)
        sheet.Steps(SnareChannel, 0, SectionRows - BarRows, section.snare, MidiNote("C4"), {SnareSound, 50});
    const char* lastBar = section.fill ? section.fill : section.snare;
    if (lastBar)
        sheet.Steps(SnareChannel, SectionRows - BarRows, BarRows, lastBar, MidiNote("C4"), {SnareSound, 50});
    if (section.crash) sheet.Note(CymbalChannel, 0, MidiNote("C4"), {CrashSound, 36});
    return sheet;
}

} // namespace game

} // namespace

std::vector<uint8_t> ComposeTitleTune() {
    using namespace title;
    xm::Module module = NewModule("VANTORIX title", Channels, Tempo.beatsPerMinute);
    module.instruments = {tune::WarmPad(Tempo, 0.35), tune::RoundBass(Tempo), tune::Bell(),
                          tune::FluteLead(Tempo),     tune::Kick(),           tune::Snare(),
                          tune::ClosedHat(),          tune::Crash()};
    for (const Section& section : Sections) {
        Sheet sheet = Compose(section);
        AddPattern(module, sheet);
    }
    return xm::WriteModule(module);
}

std::vector<uint8_t> ComposeGameTune() {
    using namespace game;
    xm::Module module = NewModule("VANTORIX game", Channels, Tempo.beatsPerMinute);
    module.instruments = {tune::Kick(),         tune::Snare(), tune::ClosedHat(),
                          tune::OpenHat(),      tune::Crash(), tune::PluckBass(Tempo),
                          tune::SawLead(Tempo), tune::Pluck(), tune::WarmPad(Tempo, 0.6)};
    for (const Section& section : Sections) {
        Sheet sheet = Compose(section);
        AddPattern(module, sheet);
    }
    return xm::WriteModule(module);
}
