// The browser hand-over: the maker's pages from the menus, and the exit link after the program ends.
#include "online/GoToLink.h"

#include "online/WebAddress.h"
#include "platform/Launcher.h"

namespace {

constexpr const char* ExitLinkFile = "play.url";

} // namespace

// Only web addresses reach the opener: a file or program path would otherwise be run by whatever
// the desktop associates with it. The result is not looked at; the current screen stays.
void OpenLink(const std::string& address) {
    if (IsWebAddress(address)) LaunchOpener(address);
}

void OpenPlayUrl() {
    const std::string address = ReadShortcutAddress(ExitLinkFile);
    if (!address.empty()) OpenLink(address);
}
