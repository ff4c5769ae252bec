// The headless harness: the real shell on SDL's dummy video and audio drivers with the test clock,
// in a scratch folder of its own (Data/ and sound/ linked from the build folder, Config.cfg private).
// Tests push keys and clicks, step frames and read ScreenState and BackBuffer pixels.
#pragma once

#include "main/Form.h"

#include <SDL.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

class Harness {
  public:
    // A config file's bytes (and a Controls.cfg) may be laid down before start-up; empty means none.
    explicit Harness(const std::string& configBytes = "", uint32_t seed = 12345,
                     const std::string& controlsText = "");
    ~Harness();

    TForm1& Form() { return *form; }
    bool Started() const { return started; }

    // Sends a key through the window system's event queue and handles it.
    void PressKey(SDL_Keycode key, uint16_t modifiers = 0);
    // A key at a place of the keyboard that the layout gives another meaning (the French A at Q's place).
    void PressKeyAt(SDL_Scancode place, SDL_Keycode key, uint16_t modifiers = 0);
    void MoveMouse(int x, int y);
    void Click(int x, int y, int button = SDL_BUTTON_LEFT);
    // Advances the test clock by `ms` and runs one idle pass, `count` times.
    void Step(int count = 1, uint32_t ms = 6);
    // Steps until ScreenState becomes `screen` or `maxFrames` pass; true when it did.
    bool StepUntilScreen(int32_t screen, int maxFrames);

    uint32_t Pixel(int x, int y) const;
    std::string ConfigBytes() const;
    std::filesystem::path Folder() const { return folder; }
    // Writes the back buffer to a PNG-less BMP for looking at (tests that want a picture).
    void SaveScreenshot(const std::string& path) const;

  private:
    // An event that asked for a frame at once (the waiting notice) gets it, as the idle pass that
    // handled the event would draw and present it right after; other events wait for Step.
    void FinishIdlePass();

    std::filesystem::path folder;
    std::filesystem::path previousFolder;
    std::unique_ptr<TForm1> form;
    bool started = false;
};
