// Web addresses opened in the user's browser.
#pragma once

#include <string>

void OpenLink(const std::string& address);
// After the program ends: opens the address of "play.url" when that file exists.
void OpenPlayUrl();
