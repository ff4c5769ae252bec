#include "main/Form.h"
#include "graphics/PackRecords.h"

#include "Game/TGame.h"
#include "audio/Audio.h"
#include "core/CoreState.h"
#include "core/Random.h"
#include "core/ScreenState.h"
#include "core/Ticks.h"
#include "graphics/Blit.h"
#include "graphics/SpriteStore.h"
#include "main/GameRecording.h"
#include "main/MenuWidgets.h"
#include "main/Notice.h"
#include "main/PadKeys.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/Screens.h"
#include "main/Watching.h"
#include "online/GoToLink.h"
#include "persistence/ConfigFile.h"
#include "persistence/ControlsFile.h"
#include "persistence/HiScores.h"
#include "persistence/Options.h"
#include "platform/Clock.h"
#include "platform/Gamepad.h"
#include "platform/Input.h"
#include "platform/PlatformState.h"

#include <algorithm>
#include <cstdio>

bool FirstStart = true;
bool SkipMinimize = true;
bool ExitConfirmed = false;
std::optional<Screen> RequestedScreen;
uint32_t AnimCounter = 0;
uint16_t DesktopWidth = 0;
uint16_t DesktopHeight = 0;
std::optional<bool> WindowModeForThisRun;

namespace {
constexpr uint32_t AltKeyWaitMs = 150;

void ShowBackBuffer(Display& display, PresentPacer& pacer, Surface& picture) {
    const uint64_t now = GetMicroseconds();
    display.Present(picture);
    pacer.Presented(now);
}
} // namespace

TForm1::~TForm1() {
    FormDestroy();
}

bool TForm1::FormCreate() {
    if (!FirstStart) {
        CreateDisplay();
        return true;
    }
    StartSeed = LaunchSeed();
    Randomize(StartSeed);
    FirstStart = false;
    Display::DesktopSize(DesktopWidth, DesktopHeight);
    InitialiseEventPump();
    if (!display.Open("VANTORIX")) return false;
    InitialiseAudio();
    try {
        LoadConfig();
        if (WindowModeForThisRun) OverrideWindowModeForThisRun(*WindowModeForThisRun);
        ApplyConfig();
    } catch (const PackError& error) {
        ReportFault(error.what());
        return false;
    }
    LoadPlayerControls();
    SetupInput();
    PlayScreenMusic();
    RequestScreen(ScreenIntro);
    ApplyScreenChange();
    Frames.Restart(GetMicroseconds());
    return true;
}

void TForm1::ApplyConfig() {
    CreateDisplay();
    SetSoundEnabled(Options.SoundEnabled);
    ApplyCountryToOptionsScreen();
}

// The display branch of the creation handler: runs at start-up, on every mode switch and when a
// full-screen program comes back from being minimised.
void TForm1::CreateDisplay() {
    AppActive = false;
    SetupDisplay();
    LoadSpriteStore();
    ForgetScreenPictures();
    CreateMenuWidgets();
    displayCreated = true;
    AppActive = true;
}

void TForm1::SetupDisplay() {
    display.Setup(Options.Windowed);
    BackBuffer = Surface::Create(ScreenWidth, ScreenHeight);
    // The frozen picture under a pause or a question outlives the switch: it is copied across.
    std::unique_ptr<Surface> frozen = std::move(SavedScreen);
    SavedScreen = Surface::Create(ScreenWidth, ScreenHeight);
    if (frozen) SavedScreen->BlitWhole(*frozen, 0, 0, false);
    SourceRect = TRect{0, 0, ScreenWidth, ScreenHeight};
    WindowMoved();
}

// A damaged Controls.cfg is told once, on stderr and on the screen, and left for the next save.
void TForm1::LoadPlayerControls() {
    std::string notice;
    PlayerControls = LoadControlBindings(ControlsPath, notice);
    if (notice.empty()) return;
    std::fprintf(stderr, "vantorix: %s\n", notice.c_str());
    ShowNotice(notice);
}

void TForm1::SetupInput() {
    AcquireKeyboard();
    InitialiseGamepads();
    ReadMouseDevice(); // start the first game frame from no motion
}

void TForm1::PlayScreenMusic() {
    if (!Options.MusicEnabled) {
        StopMusic();
        return;
    }
    PlayMusic(HomeOf(ScreenState).gameTune ? "2.xm" : "1.xm");
}

bool TForm1::RunMessageLoop() {
    try {
        while (!closed && !terminated) {
            ApplicationEvents1Idle();
            // Sleep until the next refresh, when the frames due run and their picture is shown, instead
            // of spinning a core.
            if (!closed && !terminated) SleepUntilMicroseconds(Pacer.NextPresent());
        }
    } catch (const PackError& error) {
        ReportFault(error.what());
        return false;
    }
    return true;
}

void TForm1::ApplicationEvents1Idle() {
    PumpEvents(*this);
    if (closed || terminated) return;
    RenderFrame();
    if (frameWantedAtOnce) {
        frameWantedAtOnce = false;
        PresentNow();
    }
    PresentIfDue();
}

void TForm1::ShowNextFrameAtOnce() {
    Frames.RunNextFrameNow(GetMicroseconds());
    frameWantedAtOnce = true;
}

int32_t TForm1::RenderFrame() {
    FrameStartTick = GetTickCount();
    PollKeyboard();
    const uint32_t due = Frames.TakeDueFrames(GetMicroseconds());
    if (due == 0) return 0;
    UpdateMusic();
    for (uint32_t frame = 0; frame < due; ++frame) {
        const bool inGame = ScreenState == ScreenGame;
        StepScreen();
        ApplyScreenChange(); // the frame ran as it found the screen
        stats.FrameRun(inGame, GetMicroseconds(), display.PresentCount());
    }
    if (LinkOpenFailed()) ShowNotice(NoBrowserNotice);
    const int32_t status = DrawPicture();
    Pacer.FrameDrawn(); // shown at the screen's pace, see PresentIfDue
    LastFrameTick = GetTickCount();
    return status;
}

void TForm1::StepScreen() {
    drawnScreen = ScreenState;
    drawnCounter = AnimCounter;
    switch (ScreenState) {
    case ScreenGame:
        if (CurrentGame) StepGame(*CurrentGame);
        return;
    case ScreenReplay:
        StepWatchedReplay(*this);
        return;
    case ScreenIntro:
    case ScreenMainMenu:
    case ScreenOptions:
    case ScreenHiScores:
    case ScreenHelpOverview:
    case ScreenHelpBonuses:
    case ScreenHelpControls:
    case ScreenHelpAbout:
    case ScreenExitQuestion:
    case ScreenClearQuestion:
    case ScreenKeyCapture:
    case ScreenControls:
    case ScreenPause:
    case ScreenNameEntry:
    case ScreenSendQuestion:
    case ScreenQuitQuestion:
    case ScreenRetryQuestion:
    case ScreenPleaseWait:
        StepShellScreen();
        return;
    }
}

int32_t TForm1::DrawPicture() {
    int32_t status = 0;
    if (ClearBackBuffer() != BlitOk) status = RestoreSurfaces();
    const float fraction = Frames.Fraction(GetMicroseconds());
    if (drawnScreen == ScreenGame) {
        if (CurrentGame) CurrentGame->Draw(*BackBuffer, fraction);
    } else if (drawnScreen == ScreenReplay) {
        DrawWatchedReplay(*BackBuffer, fraction);
    } else if (!DrawShellScreen(Canvas{*BackBuffer, *SavedScreen}, drawnScreen, drawnCounter)) {
        RestoreSurfaces();
    }
    DrawNotice(*BackBuffer);
    return status;
}

void TForm1::PresentIfDue() {
    if (Pacer.Due(GetMicroseconds())) ShowBackBuffer(display, Pacer, *BackBuffer);
}

// Out of turn (a notice shown before the program blocks): at the next refresh, however many game
// frames it holds.
void TForm1::PresentNow() {
    if (!Pacer.Waiting()) return;
    SleepUntilMicroseconds(Pacer.NextPresent());
    ShowBackBuffer(display, Pacer, *BackBuffer);
}

int32_t TForm1::ClearBackBuffer() {
    return display.ClearSurface(*BackBuffer);
}

int32_t TForm1::RestoreSurfaces() {
    if (display.RestorePrimary() && ClearBackBuffer() != BlitOk) return 1;
    LoadSpriteStore();
    ForgetScreenPictures();
    return 0;
}

void TForm1::SwitchWindowed(bool windowed) {
    EndWindowModeOverride(); // the player chose a mode: it is saved from now on
    Options.Windowed = windowed;
    CreateDisplay();
}

void TForm1::StepGame(TGame& game) {
    GameFrameInput input = LiveFrameInput();
    if (PlayerGaveUp) input.Controls |= ControlGiveUp;
    PlayerGaveUp = false;
    game.Step(input);
    RecordGameFrame(input, game);
    if (game.Finished) LeaveFinishedGame();
}

// A result that enters the table goes on to the name entry over the game's final picture, any other
// back to the main menu; the menus' tune starts again and the pointer is given back.
void TForm1::LeaveFinishedGame() {
    FinishRecordedGame(*CurrentGame, NameEntryText());
    EndGameMouse();
    RequestScreen(ScreenMainMenu);
    if (ScoreEntersTable(CurrentGame->Score)) {
        if (SavedScreen) SavedScreen->BlitWhole(*BackBuffer, 0, 0, false);
        RequestScreen(ScreenNameEntry);
        // A stray Space must not throw a new high score away: the entry always opens on "Ok".
        if (OkCancelQuestion) OkCancelQuestion->Choice = true;
    }
    if (Options.MusicEnabled) PlayMusic("1.xm");
}

void TForm1::PauseGame() {
    if (CurrentGame && CurrentGame->Phase == GamePhase::GameOver) return; // pausing is for play only
    SavedScreen->BlitWhole(*BackBuffer, 0, 0, false);
    const TRect stripe{
        0, 0, GameSprites[GameRecord::PauseStripe] ? GameSprites[GameRecord::PauseStripe]->Width() : 0, 1};
    for (int i = 0; i < ScreenHeight / 2; ++i)
        DrawDirectRect(GameSprites[GameRecord::PauseStripe], *SavedScreen, stripe, 0, 2 * i);
    RequestScreen(ScreenPause);
    EndGameMouse(); // a paused player may want the pointer for other windows
}

void TForm1::StartGame() {
    const uint32_t startSeed = DealGameSeed();
    StartRecordingGame(startSeed);
    CurrentGame = std::make_unique<TGame>(startSeed);
    PlayerGaveUp = false;
    display.SetGameMouse(true);
    RequestScreen(ScreenGame);
    ApplyScreenChange(); // also an entry point of its own (the tests and benchmarks start games)
}

void TForm1::WatchReplayAtStart(const std::string& path) {
    if (!StartWatchingReplay(*this, path, ScreenMainMenu)) RequestScreen(ScreenMainMenu);
    ApplyScreenChange();
}

void TForm1::EndGameMouse() {
    display.SetGameMouse(false);
}

bool TForm1::FormCloseQuery() {
    if (!HomeOf(ScreenState).closeAsksExit) return false;
    RequestScreen(ScreenExitQuestion);
    return ExitConfirmed;
}

void TForm1::Close() {
    if (FormCloseQuery()) closed = true;
}

void TForm1::CloseRequest() {
    Close();
    ApplyScreenChange();
}

void TForm1::Terminate() {
    terminated = true;
}

void TForm1::FormMouseMove(int32_t x, int32_t y) {
    MouseActive = true;
    if (!AppActive) return;
    SetOptionsMouseMode();
    MouseX = x;
    MouseY = y;
}

void TForm1::FormMouseDown(int, int32_t, int32_t) {
    if (ScreenState == ScreenGame) return;
    CheckAllMenuWidgets();
    MenuAction();
    ApplyScreenChange();
}

void TForm1::FormKeyDown(uint16_t& key, uint8_t scanCode, bool altHeld) {
    if (altHeld) {
        UnacquireKeyboard();
        SleepMs(AltKeyWaitMs);
        if (key == VkReturn) SwitchWindowed(!Options.Windowed);
        SleepMs(AltKeyWaitMs);
        AcquireKeyboard();
        return;
    }
    MouseActive = false;
    if (key != 0 && key == static_cast<uint16_t>(Options.MinimizeKey)) {
        display.Minimize();
        return;
    }
    HandleScreenKey(key, scanCode);
    ApplyScreenChange();
}

void TForm1::ApplicationActivate() {
    AppActive = true;
    MouseActive = true;
    AcquireKeyboard();
    // Back on a running game (one in play was paused on the way out): it holds the pointer again.
    if (ScreenState == ScreenGame) display.SetGameMouse(true);
    PlayScreenMusic();
}

void TForm1::ApplicationDeactivate() {
    StopMusic();
    AppActive = false;
    MouseActive = false;
    UnacquireKeyboard();
    EndGameMouse(); // the pointer is the other program's now, also over a game ending
    // A player who looks away from a game in play finds it paused on the way back, in a window too.
    if (ScreenState == ScreenGame) {
        PauseGame();
        ApplyScreenChange();
    }
    if (display.IsWindowed()) {
        SavedWindowRect = display.WindowRect();
        SkipMinimize = true;
    } else if (SkipMinimize) {
        SkipMinimize = false;
    } else {
        display.Minimize();
    }
}

void TForm1::ApplicationRestore() {
    AppActive = false;
    if (display.IsWindowed()) {
        display.MoveWindow(SavedWindowRect.left, SavedWindowRect.top);
    } else {
        CreateDisplay();
        display.ShowNormal();
    }
    AppActive = true;
    if (ScreenState == ScreenGame) {
        DrawPicture();
        PauseGame();
        ApplyScreenChange();
    }
}

void TForm1::MaximiseCommand() {
    if (display.IsWindowed()) SwitchWindowed(false);
}

void TForm1::WindowMoved() {
    if (display.IsWindowed()) display.NoteWindowMoved();
    const TRect window = display.WindowRect();
    ScreenRect = TRect{window.left, window.top, window.left + ScreenWidth, window.top + ScreenHeight};
    Pacer.SetRefreshRate(display.RefreshRate()); // the window may be on another screen now
}

void TForm1::WindowExposed() {
    display.Invalidate();
    Pacer.FrameDrawn();
}

void TForm1::WindowResized() {
    // The frame cannot be dragged to another size while the program runs in a window.
    if (AppActive && display.IsWindowed()) display.RefuseResize();
}

void TForm1::FormDestroy() {
    if (displayCreated) {
        stats.Report(display.PresentCount(), GetMicroseconds());
        FreeSpriteStore();
        FreeMenuWidgets();
        // A game the program closes over is still the last game played.
        if (CurrentGame) FinishRecordedGame(*CurrentGame, NameEntryText());
        CurrentGame.reset();
        Watching.reset();
        BackBuffer.reset();
        SavedScreen.reset();
        displayCreated = false;
    }
    UnacquireKeyboard();
    ShutdownGamepads();
    ShutdownAudio();
}

// In play and on the controls screen a key counts by its place on the keyboard; elsewhere by its
// virtual-key code, as the menus have always read it.
void TForm1::HandleScreenKey(uint16_t key, uint8_t scanCode) {
    const ScreenHome& home = HomeOf(ScreenState);
    if (scanCode != 0 && home.keyAtPlace && home.keyAtPlace(*this, scanCode)) return;
    if (key != 0) home.key(*this, key);
}

void TForm1::MenuAction() {
    if (const auto act = HomeOf(ScreenState).act) act(*this);
}

void TForm1::GamepadButtonDown(PadButton button) {
    HandlePadButton(button);
    ApplyScreenChange();
}

// The screen may take a button itself (the name entry's letters); otherwise the pad speaks its keys.
void TForm1::HandlePadButton(PadButton button) {
    if (!AppActive) return;
    MouseActive = false;
    const ScreenHome& home = HomeOf(ScreenState);
    if (home.pad && home.pad(*this, button)) return;
    if (const uint16_t key = KeyForPadButton(home.padKeys, button)) HandleScreenKey(key);
}

void TForm1::ReportFault(const char* what) {
    std::fprintf(stderr, "vantorix: %s\n", what);
    display.ShowMessage("VANTORIX", what);
}
