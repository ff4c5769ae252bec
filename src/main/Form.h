// The main window: start-up, the idle-driven frame loop, the window modes and the window's events;
// every key, click and pad button goes on to the current screen's home (ScreenHome.h).
#pragma once

#include "core/FrameClock.h"
#include "core/PresentPacer.h"
#include "main/FrameStats.h"
#include "main/MainState.h"
#include "platform/Display.h"
#include "platform/EventPump.h"
#include "platform/Surface.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class TForm1 : public ShellEvents {
  public:
    TForm1() = default;
    ~TForm1() override;

    // Start-up in the fixed order; false (after one clear message) when the game cannot start.
    bool FormCreate();
    // Runs until the window closes or the program is told to end; false when a fault stopped it.
    bool RunMessageLoop();
    void FormDestroy();

    // One pass of the idle loop: pump the window's events, RenderFrame, then show the newest picture
    // if the screen is ready for it.
    void ApplicationEvents1Idle();
    // Runs the frames due on the frame clock, each a step of the screen it finds, then draws the picture
    // as it stands now; nothing when no frame is due.
    int32_t RenderFrame();
    // Draws the picture of the screen the last frame found, as it stands now (the game between its last
    // two frames); changes nothing but the back buffer. The status of a failed clear's recovery.
    int32_t DrawPicture();
    // Shows the newest frame once a refresh has passed since the last present.
    void PresentIfDue();
    // Shows the newest frame now (waiting out the rest of the refresh at most): before the program blocks.
    void PresentNow();
    // The next frame runs at once and is presented at once: the idle pass that handled the event draws
    // it right after, instead of waiting for the frame clock and the pacer (the waiting notice).
    void ShowNextFrameAtOnce();
    bool FrameWantedAtOnce() const { return frameWantedAtOnce; }
    int32_t ClearBackBuffer();
    int32_t RestoreSurfaces();
    void SwitchWindowed(bool windowed);
    // The close query: true lets the window close.
    bool FormCloseQuery();
    // The program's own close call (Escape on the main menu, Yes on the exit question).
    void Close();
    void MenuAction();
    // Copies the picture onto SavedScreen and lays the scan-line stripes over it, then pauses.
    void PauseGame();
    // `vantorix --replay FILE`: the program opens on the watched replay, and Escape leads to the main menu.
    void WatchReplayAtStart(const std::string& path);
    void StartGame();
    void EndGameMouse();

    // ShellEvents
    void FormKeyDown(uint16_t& key, uint8_t scanCode, bool altHeld) override;
    void FormMouseMove(int32_t x, int32_t y) override;
    void FormMouseDown(int button, int32_t x, int32_t y) override;
    void ApplicationActivate() override;
    void ApplicationDeactivate() override;
    void ApplicationRestore() override;
    void CloseRequest() override;
    void MaximiseCommand() override;
    void WindowMoved() override;
    void WindowResized() override;
    void WindowExposed() override;
    void Terminate() override;
    void GamepadButtonDown(PadButton button) override;

    bool Closed() const { return closed; }
    bool Terminated() const { return terminated; }

    Display display;
    FrameClock Frames;
    PresentPacer Pacer;
    std::unique_ptr<Surface> BackBuffer;
    std::unique_ptr<Surface> SavedScreen;
    uint32_t StartSeed = 0; // the generator's seed at start-up
    uint32_t FrameStartTick = 0;
    uint32_t LastFrameTick = 0;
    bool AppActive = false;
    TRect SourceRect{0, 0, ScreenWidth, ScreenHeight};
    TRect ScreenRect{0, 0, ScreenWidth, ScreenHeight};
    TRect SavedWindowRect;

  private:
    void CreateDisplay();
    void SetupDisplay();
    void ApplyConfig();
    void LoadPlayerControls();
    void SetupInput();
    void PlayScreenMusic();
    // One frame of the screen it finds: the game's step, the watched replay's, or a menu screen's.
    void StepScreen();
    // One frame of the running game with the input read now, recorded as the game was handed it.
    void StepGame(TGame& game);
    void LeaveFinishedGame();
    void HandleScreenKey(uint16_t key, uint8_t scanCode = 0);
    void HandlePadButton(PadButton button);
    void ReportFault(const char* what);

    FrameStats stats;
    bool closed = false;
    bool terminated = false;
    bool displayCreated = false;
    bool frameWantedAtOnce = false;
    // The screen the last frame found, and the animation counter then: what the picture shows.
    Screen drawnScreen = ScreenIntro;
    uint32_t drawnCounter = 0;
};
