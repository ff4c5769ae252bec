// The real executable, started as a player would start it, in a folder of its own.
#include "PackFixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int exitCode = -1;
    std::string output;
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

    // Runs the game with the dummy drivers; `stopAfterMs` > 0 sends SIGTERM that long after it has started.
    RunResult Run(int stopAfterMs = 0) const {
        const std::string log = (folder / "stderr.txt").string();
        const pid_t child = fork();
        if (child == 0) {
            fs::current_path(folder);
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            std::freopen(log.c_str(), "w", stderr);
            execl(VANTORIX_EXECUTABLE, VANTORIX_EXECUTABLE, static_cast<char*>(nullptr));
            _exit(127);
        }
        if (stopAfterMs > 0) {
            // A first start writes Config.cfg once it runs; wait for that (bounded), then a little more.
            for (int waited = 0; waited < 30000 && !fs::exists(folder / "Config.cfg"); waited += 50)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::this_thread::sleep_for(std::chrono::milliseconds(stopAfterMs));
            kill(child, SIGTERM);
        }
        int status = 0;
        waitpid(child, &status, 0);
        RunResult result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (std::FILE* file = std::fopen(log.c_str(), "r")) {
            char buffer[512];
            while (std::fgets(buffer, sizeof buffer, file))
                result.output += buffer;
            std::fclose(file);
        }
        return result;
    }

    fs::path folder;
};

} // namespace

TEST(Program, DamagedOrMissingPackStopsWithOneClearMessage) {
    ProgramFolder program;
    RunResult result = program.Run();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("Data/Data.pp"), std::string::npos) << result.output;

    WriteBytes((program.folder / "Data" / "Data.pp").string(),
               ChainRecords({EncodeTestBmp(SolidPicture(4, 4, 0)), {'j', 'u', 'n', 'k'}}));
    result = program.Run();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("record 1"), std::string::npos) << result.output;
}

TEST(Program, TerminationSignalEndsCleanlyWithoutSaving) {
    ProgramFolder program;
    fs::remove(program.folder / "Data");
    fs::create_directory_symlink(fs::current_path() / "Data", program.folder / "Data");
    const RunResult result = program.Run(500);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_FALSE(fs::exists(program.folder / "Config.cfg.tmp"));
}
