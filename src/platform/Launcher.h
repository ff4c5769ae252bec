// Hands an address to the desktop's opener (xdg-open), which starts the user's browser.
#pragma once

#include <string>

// Starts "xdg-open <address>" without a shell and without waiting for it; the address is one
// argument, whatever characters it holds. The opener's own messages are silenced and a missing
// opener reports nothing. The finished opener is reaped in the background. False when it could
// not be started.
bool LaunchOpener(const std::string& address);
