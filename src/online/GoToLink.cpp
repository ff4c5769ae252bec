// The browser hand-over: the maker's pages from the menus, and the exit link after the program ends.
#include "online/GoToLink.h"

#include "online/WebAddress.h"
#include "platform/Launcher.h"

namespace {

constexpr const char* ExitLinkFile = "play.url";

} // namespace

namespace {
int failedAtOnce = 0; // links the opener could not even be started for, not yet reported
}

// Only web addresses reach the opener: a file or program path would otherwise be run by whatever
// the desktop associates with it. The current screen stays either way.
bool OpenLink(const std::string& address) {
    if (!IsWebAddress(address)) return false;
    if (LaunchOpener(address)) return true;
    ++failedAtOnce;
    return false;
}

bool LinkOpenFailed() {
    if (failedAtOnce > 0) {
        --failedAtOnce;
        return true;
    }
    return TakeOpenerFailure();
}

void OpenPlayUrl() {
    const std::string address = ReadShortcutAddress(ExitLinkFile);
    if (!address.empty()) OpenLink(address);
}
