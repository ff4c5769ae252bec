// The real executable, started as a player would start it: from a folder of its own, from an empty
// folder, installed elsewhere, with options and variables.
#include "PackFixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int exitCode = -1;
    std::string output; // stdout
    std::string errors; // stderr
};

std::string ReadText(const fs::path& path) {
    std::string text;
    if (std::FILE* file = std::fopen(path.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, file))
            text += buffer;
        std::fclose(file);
    }
    return text;
}

// One start of the program: where it runs, with what, and when it is told to end.
struct Start {
    fs::path executable = VANTORIX_EXECUTABLE;
    fs::path workingFolder;
    std::vector<std::string> arguments;
    std::vector<std::pair<std::string, std::string>> environment;
    // > 0: SIGTERM this long after `startedWhen` exists (a first start writes Config.cfg once it runs).
    int stopAfterMs = 0;
    fs::path startedWhen;
};

class ProgramFolder {
  public:
    ProgramFolder() {
        folder = fs::temp_directory_path() / ("vantorix-program-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder / "Data");
        fs::create_directory_symlink(fs::current_path() / "sound", folder / "sound");
    }
    ~ProgramFolder() { fs::remove_all(folder); }

    // The game with the dummy drivers in this folder; `stopAfterMs` > 0 sends SIGTERM once it runs.
    RunResult Run(int stopAfterMs = 0) const {
        Start start;
        start.workingFolder = folder;
        start.stopAfterMs = stopAfterMs;
        start.startedWhen = folder / "Config.cfg";
        return RunProgram(start);
    }

    RunResult RunProgram(const Start& start) const {
        const fs::path out = folder / "stdout.txt";
        const fs::path err = folder / "stderr.txt";
        const pid_t child = fork();
        if (child == 0) {
            fs::current_path(start.workingFolder);
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            for (const auto& [name, value] : start.environment)
                setenv(name.c_str(), value.c_str(), 1);
            std::freopen(out.c_str(), "w", stdout);
            std::freopen(err.c_str(), "w", stderr);
            std::vector<char*> argv{const_cast<char*>(start.executable.c_str())};
            for (const std::string& argument : start.arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execv(start.executable.c_str(), argv.data());
            _exit(127);
        }
        if (start.stopAfterMs > 0) {
            for (int waited = 0; waited < 30000 && !fs::exists(start.startedWhen); waited += 50)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::this_thread::sleep_for(std::chrono::milliseconds(start.stopAfterMs));
            kill(child, SIGTERM);
        }
        int status = 0;
        waitpid(child, &status, 0);
        RunResult result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.output = ReadText(out);
        result.errors = ReadText(err);
        return result;
    }

    fs::path folder;
};

} // namespace

TEST(Program, DamagedOrMissingPackStopsWithOneClearMessage) {
    ProgramFolder program;
    // A copy of the program with no pack beside it and none in an install's share folder.
    fs::create_directories(program.folder / "bin");
    fs::create_directories(program.folder / "empty");
    fs::copy_file(VANTORIX_EXECUTABLE, program.folder / "bin" / "vantorix");
    Start start;
    start.executable = program.folder / "bin" / "vantorix";
    start.workingFolder = program.folder / "empty";
    start.environment = {{"XDG_DATA_HOME", (program.folder / "xdg").string()}};
    RunResult result = program.RunProgram(start);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find((program.folder / "share/vantorix/Data/Data.pp").string()),
              std::string::npos)
        << result.errors;

    // A damaged pack in the working folder makes a portable start that names the bad record.
    WriteBytes((program.folder / "Data" / "Data.pp").string(),
               ChainRecords({EncodeTestBmp(SolidPicture(4, 4, 0)), {'j', 'u', 'n', 'k'}}));
    result = program.Run();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find("record 1"), std::string::npos) << result.errors;
}

TEST(Program, TerminationSignalEndsCleanlyWithoutSaving) {
    ProgramFolder program;
    fs::remove(program.folder / "Data");
    fs::create_directory_symlink(fs::current_path() / "Data", program.folder / "Data");
    const RunResult result = program.Run(500);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_FALSE(fs::exists(program.folder / "Config.cfg.tmp"));
}

TEST(Program, StartedFromAnyFolderKeepsConfigInThePlayersDataFolder) {
    ProgramFolder program;
    fs::create_directories(program.folder / "elsewhere");
    const fs::path playerFolder = program.folder / "xdg" / "vantorix";
    Start start;
    start.workingFolder = program.folder / "elsewhere";
    start.environment = {{"XDG_DATA_HOME", (program.folder / "xdg").string()}};
    start.stopAfterMs = 200;
    start.startedWhen = playerFolder / "Config.cfg";
    const RunResult result = program.RunProgram(start);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_TRUE(fs::exists(playerFolder / "Config.cfg"));
    EXPECT_TRUE(fs::is_empty(program.folder / "elsewhere"));
}

TEST(Program, CommandLineAnswersBeforeTheGameStarts) {
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string inOutput;
        std::string inErrors;
    };
    const Case cases[] = {
        {{"--help"}, 0, "Usage: vantorix", ""},
        {{"--windowed", "-h"}, 0, "VANTORIX_SERVER", ""},
        {{"--version"}, 0, "vantorix 1.", ""},
        {{"--fly"}, 2, "", "unknown option '--fly'"},
        {{"--windowed", "level3"}, 2, "", "Usage: vantorix"},
    };
    ProgramFolder program;
    for (const Case& c : cases) {
        Start start;
        start.workingFolder = program.folder;
        start.arguments = c.arguments;
        const RunResult result = program.RunProgram(start);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments[0];
        EXPECT_NE(result.output.find(c.inOutput), std::string::npos) << result.output;
        EXPECT_NE(result.errors.find(c.inErrors), std::string::npos) << result.errors;
        EXPECT_FALSE(fs::exists(program.folder / "Config.cfg")) << "a start that only answers writes nothing";
    }
}
