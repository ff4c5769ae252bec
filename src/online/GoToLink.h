// Web addresses opened in the user's browser.
#pragma once

#include <string>

// Hands a web address to the browser; false when it is not a web address or no opener could be
// started. An opener that could not be started, or that gives up a moment later, is reported by
// LinkOpenFailed.
bool OpenLink(const std::string& address);
// True once for each web link that could not be opened, whether at once or when the opener gave up.
bool LinkOpenFailed();
// After the program ends: opens the address of "play.url" when that file exists.
void OpenPlayUrl();
