// Hands an address to the desktop's opener (xdg-open), which starts the user's browser.
#pragma once

#include <string>

// Starts "xdg-open <address>" without a shell and without waiting for it; the address is one
// argument, whatever characters it holds. The opener's own messages are silenced. The finished
// opener is reaped in the background. False when it could not be started (no xdg-open at all).
bool LaunchOpener(const std::string& address);

// True once for every opener that ended in failure (no browser found, an error status or a signal)
// within OpenerVerdictMs of its start; later ends are the browser's own business. Safe to ask from
// the frame loop: it only reads a counter.
bool TakeOpenerFailure();
inline constexpr int OpenerVerdictMs = 15000;
