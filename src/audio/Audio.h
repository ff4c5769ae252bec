// The sound-effect bank and the music, as the rest of the game calls them.
#pragma once

#include <string>

enum SoundEffect : int {
    SoundMenuClick = 0,
    SoundHit = 1,
    SoundLaser = 2,
    SoundPlasma = 3,
    SoundRocket = 4,
    SoundSkeel = 5,
    SoundNewStage = 6,
};

// Opens the sound device; without one the game runs silently (one line on stderr says so).
void InitialiseAudio();
void ShutdownAudio();

// Plays an effect panned by x and louder lower on the screen, unless sound effects are off.
void PlaySoundEffect(int x, int y, int index);
// The menus' click: plays whatever the flag says, but at the volume the flag last set.
void PlaySoundDirect(int index);
// Turns the sound effects on or off: sets every effect to full volume or silence, and PlaySoundEffect
// plays nothing while they are off. The shell tells it the options' flag at start and on every change;
// ShutdownAudio turns them on again.
void SetSoundEnabled(bool enabled);

// Tunes live in the "sound/" folder; name is the file name ("1.xm", "2.xm").
void PlayMusic(const std::string& name);
void StopMusic();
void UpdateMusic();
