#include "platform/Display.h"

#include "platform/Surface.h"

#include <SDL.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <string>
#include <string_view>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

// Copies the rows of `from` that differ from `to` into `to`; [top, bottom) then spans the changed rows.
// False when no row differs.
bool CopyChangedRows(const Surface& from, Surface& to, int& top, int& bottom) {
    const size_t rowBytes = static_cast<size_t>(to.Width()) * 4;
    top = to.Height();
    bottom = 0;
    for (int y = 0; y < to.Height(); ++y) {
        if (std::memcmp(from.Row(y), to.Row(y), rowBytes) == 0) continue;
        std::memcpy(to.Row(y), from.Row(y), rowBytes);
        if (y < top) top = y;
        bottom = y + 1;
    }
    return bottom > top;
}

PresentPath PathFromEnvironment(PresentPath fallback) {
    const char* wanted = SDL_getenv("VANTORIX_PRESENT");
    if (!wanted) return fallback;
    if (std::strcmp(wanted, "renderer") == 0) return PresentPath::Renderer;
    if (std::strcmp(wanted, "software") == 0) return PresentPath::SoftwareRenderer;
    if (std::strcmp(wanted, "surface") == 0) return PresentPath::WindowSurface;
    std::fprintf(stderr, "vantorix: VANTORIX_PRESENT=%s is not renderer, software or surface; ignored\n",
                 wanted);
    return fallback;
}

} // namespace

Display::Display() = default;

Display::~Display() {
    DropRenderer();
    if (window) SDL_DestroyWindow(window);
}

bool Display::Open(const char* caption) {
    // The window surface is to be the system's own (shared-memory images on X11), not a texture of a
    // renderer made behind our back: that is the point of choosing it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    window = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, ScreenWidth,
                              ScreenHeight, SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window) {
        std::fprintf(stderr, "vantorix: cannot open the game window: %s\n", SDL_GetError());
        return false;
    }
    shown = Surface::Create(ScreenWidth, ScreenHeight);
    windowedPath = PathFromEnvironment(windowedPath);
    if (!shown || !(UsePath(windowedPath) || UsePath(PresentPath::Renderer) ||
                    UsePath(PresentPath::SoftwareRenderer))) {
        std::fprintf(stderr, "vantorix: cannot draw into the game window: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

bool Display::CreateRenderer(bool software) {
    // No vsync: game time keeps its own clock of 6 ms frames; the shell paces the presents.
    renderer = SDL_CreateRenderer(window, -1, software ? SDL_RENDERER_SOFTWARE : 0);
    if (!renderer && !software) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) return false;
    SDL_RenderSetLogicalSize(renderer, ScreenWidth, ScreenHeight);
    return CreateTexture();
}

bool Display::CreateTexture() {
    if (texture) SDL_DestroyTexture(texture);
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, ScreenWidth,
                                ScreenHeight);
    return texture != nullptr;
}

void Display::DropRenderer() {
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    texture = nullptr;
    renderer = nullptr;
}

// Switches to `wanted` (or rebuilds what it draws into); the screen's picture must be sent whole next.
bool Display::UsePath(PresentPath wanted) {
    shownValid = false;
    if (wanted == PresentPath::WindowSurface) {
        // A window that has a renderer must not be drawn into another way as well.
        DropRenderer();
        if (!SDL_GetWindowSurface(window)) return false;
    } else if (renderer && wanted == path) {
        if (!CreateTexture()) return false;
    } else {
        DropRenderer();
        if (!CreateRenderer(wanted == PresentPath::SoftwareRenderer)) return false;
    }
    path = wanted;
    return true;
}

void Display::SetWindowedPath(PresentPath windowedPathWanted) {
    windowedPath = windowedPathWanted;
    if (windowed) UsePath(windowedPath);
}

void Display::Setup(bool windowedMode) {
    windowed = windowedMode;
    if (windowed) {
        // Placing a window waits for the window manager (about 100 ms on X11), so a window that already
        // is a plain one of the screen's size (as at start-up) is left where it stands.
        if (!IsPlainScreenSizedWindow()) {
            SDL_SetWindowFullscreen(window, 0);
            SDL_RestoreWindow(window);
            SDL_SetWindowBordered(window, SDL_TRUE);
            SDL_SetWindowSize(window, ScreenWidth, ScreenHeight);
            SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        }
        if (!UsePath(windowedPath)) UsePath(PresentPath::Renderer);
    } else {
        // Scaling to the desktop is the renderer's work.
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        const PresentPath scaling =
            windowedPath == PresentPath::SoftwareRenderer ? windowedPath : PresentPath::Renderer;
        if (!UsePath(scaling)) UsePath(PresentPath::SoftwareRenderer);
    }
    if (renderer) SDL_RenderSetLogicalSize(renderer, ScreenWidth, ScreenHeight);
}

bool Display::IsPlainScreenSizedWindow() const {
    constexpr uint32_t NotPlain = SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP |
                                  SDL_WINDOW_BORDERLESS | SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    return (SDL_GetWindowFlags(window) & NotPlain) == 0 && width == ScreenWidth && height == ScreenHeight;
}

int32_t Display::Present(const Surface& backBuffer) {
    if (!shown) return BlitFailed;
    int top = 0;
    int bottom = ScreenHeight;
    if (!shownValid)
        shown->BlitWhole(backBuffer, 0, 0, false);
    else if (!CopyChangedRows(backBuffer, *shown, top, bottom))
        return BlitOk; // the screen already shows this picture
    const int32_t status = path == PresentPath::WindowSurface ? SendToWindowSurface(*shown, top, bottom)
                                                              : SendToRenderer(*shown, top, bottom);
    shownValid = status == BlitOk;
    if (shownValid) ++presents;
    return status;
}

// The window keeps what it was sent until it is uncovered, so only the changed band travels.
int32_t Display::SendToWindowSurface(const Surface& picture, int top, int bottom) {
    SDL_Surface* target = SDL_GetWindowSurface(window);
    if (!target) return BlitFailed;
    SDL_Rect band{0, top, ScreenWidth, bottom - top};
    SDL_Rect placed = band;
    if (SDL_BlitSurface(picture.Native(), &band, target, &placed) != 0) return BlitFailed;
    return SDL_UpdateWindowSurfaceRects(window, &band, 1) == 0 ? BlitOk : BlitFailed;
}

// The texture keeps the rows it was given; the renderer then draws the whole picture, scaled.
int32_t Display::SendToRenderer(const Surface& picture, int top, int bottom) {
    if (!texture) return BlitFailed;
    const SDL_Rect band{0, top, ScreenWidth, bottom - top};
    SDL_UpdateTexture(texture, &band, picture.Row(top), picture.Native()->pitch);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    return BlitOk;
}

void Display::Invalidate() {
    shownValid = false;
}

int Display::RefreshRate() const {
    constexpr int UnknownRate = 60;
    SDL_DisplayMode mode{};
    const int index = window ? SDL_GetWindowDisplayIndex(window) : -1;
    if (index < 0 || SDL_GetCurrentDisplayMode(index, &mode) != 0 || mode.refresh_rate <= 0)
        return UnknownRate;
    return mode.refresh_rate;
}

uint32_t Display::ShownPixel(int x, int y) const {
    return shown ? shown->Pixel(x, y) : 0;
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
    gameMouse = captured;
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
    return primaryRestores && UsePath(path);
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
