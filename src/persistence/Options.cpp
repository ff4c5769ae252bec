#include "persistence/Options.h"

#include <optional>

TOptions Options;

namespace {
// The mode Config.cfg holds while a mode asked for on the command line is in force.
std::optional<bool> storedWindowed;
} // namespace

void OverrideWindowModeForThisRun(bool windowed) {
    if (!storedWindowed) storedWindowed = Options.Windowed;
    Options.Windowed = windowed;
}

void EndWindowModeOverride() {
    storedWindowed.reset();
}

bool WindowedToStore() {
    return storedWindowed.value_or(Options.Windowed);
}
