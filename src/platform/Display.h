// The window and the way a finished 800 x 600 frame reaches the screen: one window, a renderer and a
// streaming texture. Full screen is the desktop's own mode with the picture letterboxed, aspect kept.
#pragma once

#include "core/Rect.h"

#include <cstdint>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
class Surface;

inline constexpr int ScreenWidth = 800;
inline constexpr int ScreenHeight = 600;

class Display {
  public:
    Display() = default;
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // Creates the window and its renderer; false with a message on stderr when the system cannot.
    bool Open(const char* caption);
    // Builds the presentation for the window mode: a normal window with the 800 x 600 client area,
    // centred, or the whole desktop with the picture scaled and letterboxed.
    void Setup(bool windowed);
    int32_t Present(const Surface& backBuffer);

    static void DesktopSize(uint16_t& width, uint16_t& height);
    TRect WindowRect() const;
    void MoveWindow(int left, int top);
    // Remembers where the window stands while it has its own size, so a refused resize can put it back.
    void NoteWindowMoved();
    // Gives the window back its 800 x 600 client area at the place it had before the drag began (a
    // drag on the left or top edge moves the window as it resizes it).
    void RefuseResize();
    void Minimize();
    void ShowNormal();
    bool IsMinimized() const;
    // While a game runs the system cursor is hidden and the mouse reports relative motion only.
    void SetGameMouse(bool captured);
    // The box of a fault that ends the program; SIGTERM or Ctrl+C while it is up end the program
    // (and the box) at once.
    void ShowMessage(const char* title, const char* text) const;

    // Recreates the streaming texture after the renderer lost it; false when that fails.
    bool RestorePrimary();
    // The colour-fill of the back buffer that tells the shell whether surfaces were lost.
    int32_t ClearSurface(Surface& surface);
    // Tests make the display report lost surfaces: the next `failures` clears fail, and the
    // primary's restore answers `restores`.
    void SimulateSurfaceLoss(int failures, bool restores);

    bool IsWindowed() const { return windowed; }
    SDL_Window* Window() const { return window; }

  private:
    bool CreateTexture();

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    bool windowed = true;
    bool placeKnown = false;
    int keptLeft = 0;
    int keptTop = 0;
    int pendingClearFailures = 0;
    bool primaryRestores = true;
};
