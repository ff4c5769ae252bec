// The browser hand-over: the maker's pages from the menus, and the exit link after the program ends.
#include "online/GoToLink.h"

#include "online/OnlineState.h"
#include "online/WebAddress.h"
#include "platform/Launcher.h"

namespace {

constexpr const char* ExitLinkFile = "play.url";

} // namespace

int LinksFailedAtOnce = 0;

// Only web addresses reach the opener: a file or program path would otherwise be run by whatever
// the desktop associates with it. The current screen stays either way.
bool OpenLink(const std::string& address) {
    if (!IsWebAddress(address)) return false;
    if (LaunchOpener(address)) return true;
    ++LinksFailedAtOnce;
    return false;
}

bool LinkOpenFailed() {
    if (LinksFailedAtOnce > 0) {
        --LinksFailedAtOnce;
        return true;
    }
    return TakeOpenerFailure();
}

void OpenPlayUrl() {
    const std::string address = ReadShortcutAddress(ExitLinkFile);
    if (!address.empty()) OpenLink(address);
}
