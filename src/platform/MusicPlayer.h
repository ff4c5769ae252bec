// The XM player: one module loaded by libxmp, rendered into the sound device through the mixer's music
// hook. A song loops by itself when it reaches its end.
#pragma once

#include <memory>
#include <string>

class Song {
  public:
    // Null (and the reason in `failure`) when the file is missing, unreadable or not a module.
    static std::unique_ptr<Song> LoadFromFile(const std::string& path, std::string& failure);
    // Stops playback and releases the module.
    ~Song();
    Song(const Song&) = delete;
    Song& operator=(const Song&) = delete;

    // Starts playback in the background on the open sound device; false (and why) when it cannot.
    bool Play(std::string& failure);
    // The song's level in the mix, a linear factor (1.0 plays it as the module is written).
    void SetGain(float gain);
    // The position of playback in the song's pattern sequence.
    int GetOrder() const;
    // Stereo sample frames rendered so far.
    long FramesPlayed() const;

    // How many songs are loaded right now, and the most there have been at once since the last reset.
    static int LoadedCount();
    static int PeakLoadedCount();
    static void ResetPeakLoadedCount();

  private:
    struct Player;
    explicit Song(std::unique_ptr<Player> player);
    std::unique_ptr<Player> player;
};
