// The window and the way a finished 800 x 600 frame reaches the screen.
//
// Two present paths, chosen by measurement (bench/DisplayBench.cpp, under Xvfb's software OpenGL):
// - in a window, at 1:1, the system's own window surface (shared-memory images on X11): a changed band of
//   rows is copied and sent, with no 3-D driver loaded at all (faster start, far less memory);
// - in full screen, a renderer and one streaming texture, which scales the picture to the desktop with
//   the aspect kept (letterboxed).
// VANTORIX_PRESENT=renderer|software|surface in the environment forces the windowed path, for measuring.
// Every path compares the frame with the picture already shown and sends only the rows that changed;
// an unchanged frame is not sent at all.
#pragma once

#include "core/Rect.h"

#include <cstdint>
#include <memory>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
class Surface;

inline constexpr int ScreenWidth = 800;
inline constexpr int ScreenHeight = 600;

enum class PresentPath { WindowSurface, Renderer, SoftwareRenderer };

class Display {
  public:
    Display();
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // Creates the window and makes sure a picture can reach it; false with a message on stderr when
    // the system cannot.
    bool Open(const char* caption);
    // Builds the presentation for the window mode: a normal window with the 800 x 600 client area,
    // centred, or the whole desktop with the picture scaled and letterboxed.
    void Setup(bool windowed);
    // Shows the back buffer, sending only the rows that differ from the picture on the screen; nothing
    // is sent when no row differs.
    int32_t Present(const Surface& backBuffer);
    // The screen lost its picture (uncovered, restored, reset): the next present sends it whole.
    void Invalidate();

    // Refresh rate of the screen the window is on, 60 when the system does not say.
    int RefreshRate() const;
    PresentPath Path() const { return path; }
    // The path the windowed mode uses; the default is the window surface.
    void SetWindowedPath(PresentPath windowedPath);
    // What the screen was last sent (pixel values 0x00RRGGBB), and how many presents reached it.
    uint32_t ShownPixel(int x, int y) const;
    uint64_t PresentCount() const { return presents; }

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
    // Whether the game holds the pointer, as last asked (a driver without relative motion still hides it).
    bool GameMouse() const { return gameMouse; }
    // The box of a fault that ends the program; SIGTERM or Ctrl+C while it is up end the program
    // (and the box) at once.
    void ShowMessage(const char* title, const char* text) const;

    // Recreates what the present path draws into after the system lost it; false when that fails.
    bool RestorePrimary();
    // The colour-fill of the back buffer that tells the shell whether surfaces were lost.
    int32_t ClearSurface(Surface& surface);
    // Tests make the display report lost surfaces: the next `failures` clears fail, and the
    // primary's restore answers `restores`.
    void SimulateSurfaceLoss(int failures, bool restores);

    bool IsWindowed() const { return windowed; }
    SDL_Window* Window() const { return window; }

  private:
    bool UsePath(PresentPath wanted);
    bool IsPlainScreenSizedWindow() const;
    bool CreateRenderer(bool software);
    bool CreateTexture();
    void DropRenderer();
    int32_t SendToWindowSurface(const Surface& shownPicture, int top, int bottom);
    int32_t SendToRenderer(const Surface& shownPicture, int top, int bottom);

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    PresentPath path = PresentPath::WindowSurface;
    PresentPath windowedPath = PresentPath::WindowSurface;
    // The picture the screen shows; a frame is compared with it row by row.
    std::unique_ptr<Surface> shown;
    bool shownValid = false;
    uint64_t presents = 0;
    bool windowed = true;
    bool placeKnown = false;
    int keptLeft = 0;
    int keptTop = 0;
    int pendingClearFailures = 0;
    bool primaryRestores = true;
    bool gameMouse = false;
};
