#include "main/StartFolders.h"

#include "core/GameFolders.h"
#include "graphics/SpriteStore.h"

#include <cstdlib>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* GameFolderName = "vantorix";

bool HoldsPack(const fs::path& folder) {
    std::error_code error;
    return fs::is_regular_file(folder / DataPackPath, error);
}

const char* HomeFromPasswordFile() {
    const passwd* entry = getpwuid(getuid());
    return entry ? entry->pw_dir : nullptr;
}

fs::path ExecutableFolder() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path(error) : executable.parent_path();
}

} // namespace

fs::path PlayerDataFolder(const char* xdgDataHome, const char* home) {
    if (xdgDataHome && fs::path(xdgDataHome).is_absolute()) return fs::path(xdgDataHome) / GameFolderName;
    if (home && *home) return fs::path(home) / ".local" / "share" / GameFolderName;
    return {};
}

fs::path InstalledDataFolder(const fs::path& executableFolder) {
    if (HoldsPack(executableFolder)) return executableFolder;
    return (executableFolder.parent_path() / "share" / GameFolderName).lexically_normal();
}

fs::path GameFilesFolder() {
    std::error_code error;
    const fs::path working = fs::current_path(error);
    if (HoldsPack(working)) return working;
    const char* home = std::getenv("HOME");
    const fs::path playerFolder =
        PlayerDataFolder(std::getenv("XDG_DATA_HOME"), home && *home ? home : nullptr);
    return playerFolder.empty() ? PlayerDataFolder(nullptr, HomeFromPasswordFile()) : playerFolder;
}

bool EnterGameFolders(std::string& problem) {
    std::error_code error;
    if (HoldsPack(fs::current_path(error))) {
        DataFolder.clear();
        return true;
    }
    const fs::path playerFolder = GameFilesFolder();
    if (playerFolder.empty()) {
        problem =
            "there is no home folder to keep the options and high scores in (set HOME or XDG_DATA_HOME)";
        return false;
    }
    fs::create_directories(playerFolder, error);
    if (!error) fs::current_path(playerFolder, error);
    if (error) {
        problem = "cannot use the folder " + playerFolder.string() + " for the options and high scores (" +
                  error.message() + ")";
        return false;
    }
    DataFolder = InstalledDataFolder(ExecutableFolder()).string() + "/";
    return true;
}
