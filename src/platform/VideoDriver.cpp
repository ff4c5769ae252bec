#include "platform/VideoDriver.h"

#include <SDL.h>

#include <array>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 2> InvisibleDrivers = {"offscreen", "dummy"};

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (SDL_tolower(static_cast<unsigned char>(a[i])) != SDL_tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// SDL_VIDEODRIVER may name one driver or a comma-separated list of them.
bool RequestedByName(std::string_view driver) {
    const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    std::string_view list = requested ? requested : "";
    while (!list.empty()) {
        const size_t comma = list.find(',');
        if (SameLetters(list.substr(0, comma), driver)) return true;
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return false;
}

std::string NoDisplayReason() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool hasX11 = x11 && *x11;
    const bool hasWayland = wayland && *wayland;
    if (!hasX11 && !hasWayland) return "neither DISPLAY nor WAYLAND_DISPLAY is set";
    std::string names;
    if (hasX11) names = std::string("DISPLAY=") + x11;
    if (hasWayland) names += (names.empty() ? "" : ", ") + std::string("WAYLAND_DISPLAY=") + wayland;
    return "no display server answers at " + names;
}

} // namespace

bool VideoDriverShowsWindows(std::string& problem) {
    const char* running = SDL_GetCurrentVideoDriver();
    const std::string_view driver = running ? running : "";
    bool invisible = driver.empty();
    for (const std::string_view name : InvisibleDrivers)
        invisible = invisible || SameLetters(driver, name);
    if (!invisible || RequestedByName(driver)) return true;
    problem = "cannot show the game window: " + NoDisplayReason() +
              ". Start it from a desktop session, or without a screen under xvfb-run.";
    return false;
}
