#include "Harness.h"

#include "Game/TGame.h"
#include "core/Random.h"
#include "core/ScreenState.h"
#include "persistence/HiScores.h"
#include "persistence/Options.h"
#include "platform/Clock.h"
#include "platform/Input.h"

#include <atomic>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {
void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
} // namespace

Harness::Harness(const std::string& configBytes, uint32_t seed, const std::string& controlsText) {
    static std::atomic<int> counter{0};
    previousFolder = fs::current_path();
    folder = fs::temp_directory_path() /
             ("vantorix-harness-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::create_directory_symlink(previousFolder / "Data", folder / "Data");
    fs::create_directory_symlink(previousFolder / "sound", folder / "sound");
    if (!configBytes.empty()) WriteFile(folder / "Config.cfg", configBytes);
    if (!controlsText.empty()) WriteFile(folder / "Controls.cfg", controlsText);
    fs::current_path(folder);

    setenv("SDL_VIDEODRIVER", "dummy", 1);
    // A recording run asks for SDL's disk driver; everything else plays into nothing.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER);
    ResetProgramState();
    UseTestClock(100000);
    form = std::make_unique<TForm1>();
    started = form->FormCreate();
    Randomize(seed);
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

Harness::~Harness() {
    form.reset();
    ResetProgramState();
    SDL_Quit();
    UseSystemClock();
    fs::current_path(previousFolder);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

void Harness::PressKey(SDL_Keycode key, uint16_t modifiers) {
    PressKeyAt(SDL_GetScancodeFromKey(key), key, modifiers);
}

void Harness::PressKeyAt(SDL_Scancode place, SDL_Keycode key, uint16_t modifiers) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = place;
    event.key.keysym.mod = modifiers;
    SDL_PushEvent(&event);
    PumpEvents(*form);
    FinishIdlePass();
}

void Harness::MoveMouse(int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    event.motion.xrel = x - MouseX;
    event.motion.yrel = y - MouseY;
    SDL_PushEvent(&event);
    PumpEvents(*form);
}

void Harness::Click(int x, int y, int button) {
    MoveMouse(x, y);
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = static_cast<uint8_t>(button);
    event.button.state = SDL_PRESSED;
    event.button.x = x;
    event.button.y = y;
    SDL_PushEvent(&event);
    PumpEvents(*form);
    FinishIdlePass();
}

void Harness::FinishIdlePass() {
    if (form->FrameWantedAtOnce()) form->ApplicationEvents1Idle();
}

void Harness::Step(int count, uint32_t ms) {
    for (int i = 0; i < count; ++i) {
        AdvanceTestClock(ms);
        form->ApplicationEvents1Idle();
    }
}

bool Harness::StepUntilScreen(int32_t screen, int maxFrames) {
    for (int i = 0; i < maxFrames && ScreenState != screen; ++i)
        Step();
    return ScreenState == screen;
}

uint32_t Harness::Pixel(int x, int y) const {
    return form->BackBuffer->Pixel(x, y);
}

std::string Harness::ConfigBytes() const {
    std::ifstream config(folder / "Config.cfg", std::ios::binary);
    std::ostringstream bytes;
    bytes << config.rdbuf();
    return bytes.str();
}

void Harness::SaveScreenshot(const std::string& path) const {
    SDL_SaveBMP(form->BackBuffer->Native(), path.c_str());
}
