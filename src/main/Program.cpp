// VANTORIX: the command line, start-up, the message loop, and the exit link.
#include "main/CommandLine.h"
#include "main/Form.h"
#include "main/GameVersion.h"
#include "main/KeyNames.h"
#include "main/ReplayCheck.h"
#include "main/StartFolders.h"
#include "online/GoToLink.h"
#include "online/ScoreSending.h"
#include "online/ServerHost.h"
#include "online/WebAddress.h"
#include "persistence/ControlsFile.h"
#include "persistence/StoredValues.h"
#include "platform/PlatformSession.h"
#include "platform/VideoDriver.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

// The player's controls as Controls.cfg holds them, for --help: read only, never written.
ControlBindings ControlsForHelp() {
    const std::filesystem::path folder = GameFilesFolder();
    if (folder.empty()) return DefaultControlBindings();
    std::string notice;
    const ControlBindings controls = LoadControlBindings((folder / ControlsPath).string(), notice);
    if (!notice.empty()) std::fprintf(stderr, "vantorix: %s\n", notice.c_str());
    return controls;
}

// Help, version and misuse end the program before anything is opened; -1 lets the game start.
int AnswerCommandLine(const CommandLine& command) {
    switch (command.action) {
    case CommandLine::Action::ShowHelp:
        std::fputs(HelpText(ControlsForHelp()).c_str(), stdout);
        return 0;
    case CommandLine::Action::ShowVersion:
        std::printf("vantorix %s\n", GameVersion);
        return 0;
    case CommandLine::Action::VerifyReplay:
        return RunReplayCheckCommand(command.replayFile);
    case CommandLine::Action::Misuse:
        std::fprintf(stderr, "vantorix: %s\n%s\nTry 'vantorix --help' for more information.\n",
                     command.problem.c_str(), UsageLine);
        return 2;
    case CommandLine::Action::Play:
        break;
    }
    return -1;
}

// A stored boss key must be one the options screen would take.
bool BossKeyCanBeChosen(int32_t key) {
    return key >= 0 && KeyName(static_cast<uint32_t>(key)) != BadKeyName;
}

// Told on every start, so that VANTORIX_SEED can play the same start again.
void ReportSeed(uint32_t seed) {
    std::printf("vantorix: random seed %u\n", seed);
    std::fflush(stdout);
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

} // namespace

int main(int argc, char** argv) {
    const CommandLine command = ParseCommandLine(argc, argv);
    if (const int status = AnswerCommandLine(command); status >= 0) return status;
    WindowModeForThisRun = command.windowed;
    // The replay to watch is named from where the program was started, before it enters its folders.
    const std::string replayToWatch = command.replayFile.empty() || IsWebAddress(command.replayFile)
                                          ? command.replayFile
                                          : AbsolutePath(command.replayFile);
    SetBossKeyCheck(BossKeyCanBeChosen);
    UseScoreServerFromEnvironment();
    std::string problem;
    if (!EnterGameFolders(problem)) {
        std::fprintf(stderr, "vantorix: %s\n", problem.c_str());
        return 1;
    }
    const PlatformSession platform;
    if (!platform.Started()) {
        std::fprintf(stderr, "vantorix: cannot start the display: %s\n", platform.Error().c_str());
        return 1;
    }
    if (!VideoDriverShowsWindows(problem)) {
        std::fprintf(stderr, "vantorix: %s\n", problem.c_str());
        return 1;
    }
    int status = 0;
    {
        TForm1 form;
        if (!form.FormCreate()) {
            status = 1;
        } else {
            ReportSeed(form.StartSeed);
            if (!replayToWatch.empty()) form.WatchReplayAtStart(replayToWatch);
            if (!form.RunMessageLoop()) status = 1;
        }
        form.FormDestroy();
        FinishScoreSending(); // before the HTTP client goes with the program's other statics
        if (status == 0 && !form.Terminated()) OpenPlayUrl();
    }
    return status;
}
