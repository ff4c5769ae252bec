// Starts a program on the current X display and tells, as a user would see it, how long it took until
// its window was mapped and until the first picture was drawn into that window (the first present).
// The program is left running; its process id is printed so the caller can measure and end it.
//
//   vantorix-startwatch [--timeout-ms N] -- program [arguments...]
//   prints: pid=<pid> mapped_ms=<ms> first_present_ms=<ms>   (-1 for what did not happen in time)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Windows come and go while we look at them; a stale id is not an error here.
int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

long WindowPid(Display* display, Window window) {
    static const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data && count == 1 && format == 32)
        pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    if (data) XFree(data);
    return pid;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

pid_t Launch(char** argv) {
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[0], argv);
        std::fprintf(stderr, "startwatch: cannot start %s: %s\n", argv[0], std::strerror(errno));
        _exit(127);
    }
    return child;
}

} // namespace

int main(int argc, char** argv) {
    int timeoutMs = 20000;
    int first = 1;
    for (; first < argc; ++first) {
        if (std::strcmp(argv[first], "--") == 0) {
            ++first;
            break;
        }
        if (std::strcmp(argv[first], "--timeout-ms") == 0 && first + 1 < argc)
            timeoutMs = std::atoi(argv[++first]);
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: %s [--timeout-ms N] -- program [arguments...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startwatch: no X display\n");
        return 2;
    }
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "startwatch: the X server has no DAMAGE extension\n");
        return 2;
    }
    XSetErrorHandler(IgnoreXErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t child = Launch(argv + first);
    double mappedMs = -1, presentMs = -1;
    std::map<Window, Damage> watched;
    while ((mappedMs < 0 || presentMs < 0) && MillisecondsSince(start) < timeoutMs) {
        if (!XPending(display)) {
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            poll(&connection, 1, 5);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
            // Watch every new top-level window from its creation; its owner is known once it maps.
            const Window window = event.xcreatewindow.window;
            XSelectInput(display, window, StructureNotifyMask);
            watched[window] = XDamageCreate(display, window, XDamageReportNonEmpty);
        } else if (event.type == MapNotify && event.xmap.event == event.xmap.window) {
            if (mappedMs < 0 && watched.count(event.xmap.window) &&
                WindowPid(display, event.xmap.window) == child)
                mappedMs = MillisecondsSince(start);
        } else if (event.type == damageEvent + XDamageNotify) {
            const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
            XDamageSubtract(display, damage.damage, None, None);
            if (mappedMs >= 0 && presentMs < 0 && WindowPid(display, damage.drawable) == child)
                presentMs = MillisecondsSince(start);
        }
    }
    std::printf("pid=%d mapped_ms=%.0f first_present_ms=%.0f\n", static_cast<int>(child), mappedMs,
                presentMs);
    for (const auto& [window, damage] : watched)
        XDamageDestroy(display, damage);
    XCloseDisplay(display);
    return 0;
}
