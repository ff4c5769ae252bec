#include "platform/Display.h"

#include "platform/Surface.h"

#include <SDL.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <string>
#include <string_view>
#include <sys/prctl.h>
#include <unistd.h>

Display::~Display() {
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
}

bool Display::Open(const char* caption) {
    window = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, ScreenWidth,
                              ScreenHeight, SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window) {
        std::fprintf(stderr, "vantorix: cannot open the game window: %s\n", SDL_GetError());
        return false;
    }
    // No vsync: the game's speed is one step per frame at the frame gate.
    renderer = SDL_CreateRenderer(window, -1, 0);
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer || !CreateTexture()) {
        std::fprintf(stderr, "vantorix: cannot draw into the game window: %s\n", SDL_GetError());
        return false;
    }
    SDL_RenderSetLogicalSize(renderer, ScreenWidth, ScreenHeight);
    return true;
}

bool Display::CreateTexture() {
    if (texture) SDL_DestroyTexture(texture);
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, ScreenWidth,
                                ScreenHeight);
    return texture != nullptr;
}

void Display::Setup(bool windowedMode) {
    windowed = windowedMode;
    if (windowed) {
        SDL_SetWindowFullscreen(window, 0);
        SDL_RestoreWindow(window);
        SDL_SetWindowBordered(window, SDL_TRUE);
        SDL_SetWindowSize(window, ScreenWidth, ScreenHeight);
        SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    } else {
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    SDL_RenderSetLogicalSize(renderer, ScreenWidth, ScreenHeight);
    CreateTexture();
}

int32_t Display::Present(const Surface& backBuffer) {
    if (!texture) return BlitFailed;
    SDL_Surface* pixels = backBuffer.Native();
    SDL_UpdateTexture(texture, nullptr, pixels->pixels, pixels->pitch);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    return BlitOk;
}

void Display::DesktopSize(uint16_t& width, uint16_t& height) {
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        width = static_cast<uint16_t>(mode.w);
        height = static_cast<uint16_t>(mode.h);
    } else {
        width = ScreenWidth;
        height = ScreenHeight;
    }
}

TRect Display::WindowRect() const {
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &w, &h);
    return MakeRect(x, y, w, h);
}

void Display::MoveWindow(int left, int top) {
    SDL_SetWindowPosition(window, left, top);
}

void Display::NoteWindowMoved() {
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    if (w != ScreenWidth || h != ScreenHeight) return; // a move that is part of a resize
    SDL_GetWindowPosition(window, &keptLeft, &keptTop);
    placeKnown = true;
}

void Display::RefuseResize() {
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    if (w == ScreenWidth && h == ScreenHeight) return;
    SDL_SetWindowSize(window, ScreenWidth, ScreenHeight);
    if (placeKnown) SDL_SetWindowPosition(window, keptLeft, keptTop);
}

void Display::Minimize() {
    SDL_MinimizeWindow(window);
}
void Display::ShowNormal() {
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
}
bool Display::IsMinimized() const {
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0;
}

void Display::SetGameMouse(bool captured) {
    SDL_SetRelativeMouseMode(captured ? SDL_TRUE : SDL_FALSE);
    SDL_ShowCursor(captured ? SDL_DISABLE : SDL_ENABLE);
}

namespace {

// The library shows its message box from a child process and waits for it. While such a box is up,
// a child forked then asks the kernel to kill it when the game ends, so the box goes with the game.
volatile sig_atomic_t boxChildFollowsGame = 0;
volatile pid_t boxGame = 0;

void TieBoxChildToGame() {
    if (!boxChildFollowsGame) return;
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != boxGame) _exit(1); // the game ended before the tie was made
}

// For the life of a fault's box, SIGTERM and Ctrl+C end the program at once, as if nothing had
// been set up to catch them; nothing is left to save on that path.
class EndOnTermination {
  public:
    EndOnTermination() {
        static const bool tied = ::pthread_atfork(nullptr, nullptr, TieBoxChildToGame) == 0;
        (void)tied;
        boxGame = ::getpid();
        boxChildFollowsGame = 1;
        struct sigaction plain {};
        plain.sa_handler = SIG_DFL;
        sigemptyset(&plain.sa_mask);
        ::sigaction(SIGTERM, &plain, &oldTerm);
        ::sigaction(SIGINT, &plain, &oldInterrupt);
    }
    ~EndOnTermination() {
        ::sigaction(SIGTERM, &oldTerm, nullptr);
        ::sigaction(SIGINT, &oldInterrupt, nullptr);
        boxChildFollowsGame = 0;
    }
    EndOnTermination(const EndOnTermination&) = delete;
    EndOnTermination& operator=(const EndOnTermination&) = delete;

  private:
    struct sigaction oldTerm {};
    struct sigaction oldInterrupt {};
};

// The box does not wrap long lines itself: break them at spaces.
std::string WrappedForBox(std::string_view text) {
    constexpr size_t LineLength = 72;
    std::string wrapped;
    size_t lineStart = 0;
    while (!text.empty()) {
        const size_t wordEnd = std::min(text.find(' '), text.size());
        if (wrapped.size() > lineStart && wrapped.size() - lineStart + 1 + wordEnd > LineLength) {
            wrapped += '\n';
            lineStart = wrapped.size();
        } else if (wrapped.size() > lineStart) {
            wrapped += ' ';
        }
        wrapped += text.substr(0, wordEnd);
        text.remove_prefix(std::min(wordEnd + 1, text.size()));
    }
    return wrapped;
}

} // namespace

void Display::ShowMessage(const char* title, const char* text) const {
    // A request to quit that came before the box is honoured without it.
    SDL_PumpEvents();
    if (SDL_HasEvent(SDL_QUIT)) return;
    const EndOnTermination endOnTermination;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, WrappedForBox(text).c_str(), window);
}

bool Display::RestorePrimary() {
    return primaryRestores && CreateTexture();
}

int32_t Display::ClearSurface(Surface& surface) {
    if (pendingClearFailures > 0) {
        --pendingClearFailures;
        return BlitFailed;
    }
    return surface.Fill(0);
}

void Display::SimulateSurfaceLoss(int failures, bool restores) {
    pendingClearFailures = failures;
    primaryRestores = restores;
}
