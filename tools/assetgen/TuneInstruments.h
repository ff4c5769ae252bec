// The tunes' instruments: every sample is synthesised here. Pitched samples hold a whole number of
// cycles in their loop so they sustain without a click; drums are one-shots played on C-4.
#pragma once

#include "XmWriter.h"

namespace tune {

// Envelope times depend on the tempo: a tick lasts 2.5 / BPM seconds.
struct Tempo {
    int beatsPerMinute;
    double TickSeconds() const { return 2.5 / beatsPerMinute; }
};

xm::Instrument Kick();
xm::Instrument Snare();
xm::Instrument ClosedHat();
xm::Instrument OpenHat();
xm::Instrument Crash();

xm::Instrument PluckBass(Tempo tempo);                  // bright, filtered saw for driving lines
xm::Instrument RoundBass(Tempo tempo);                  // soft sine-like bass for slow tunes
xm::Instrument SawLead(Tempo tempo);                    // detuned pulse and saw with vibrato
xm::Instrument FluteLead(Tempo tempo);                  // breathy, gentle lead
xm::Instrument WarmPad(Tempo tempo, double brightness); // three detuned saws, slow attack
xm::Instrument Bell();                                  // glassy FM bell, one-shot
xm::Instrument Pluck();                                 // short filtered pluck for arpeggios

} // namespace tune
