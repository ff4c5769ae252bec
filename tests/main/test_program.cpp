// The real executable, started as a player would start it: from a folder of its own, from an empty
// folder, installed elsewhere, with options and variables.
#include "PackFixture.h"
#include "persistence/ConfigFile.h"
#include "persistence/ControlsFile.h"
#include "persistence/HiScores.h"
#include "persistence/Options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
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
    std::vector<std::string> removedVariables; // e.g. SDL_VIDEODRIVER, to let the library choose
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
        const pid_t child = Spawn(start);
        if (start.stopAfterMs > 0) {
            for (int waited = 0; waited < 30000 && !fs::exists(start.startedWhen); waited += 50)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::this_thread::sleep_for(std::chrono::milliseconds(start.stopAfterMs));
            kill(child, SIGTERM);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return Result(status);
    }

    // Starts the program and returns at once; its output goes to stdout.txt and stderr.txt.
    pid_t Spawn(const Start& start) const {
        const fs::path out = folder / "stdout.txt";
        const fs::path err = folder / "stderr.txt";
        const pid_t child = fork();
        if (child == 0) {
            fs::current_path(start.workingFolder);
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            for (const auto& [name, value] : start.environment)
                setenv(name.c_str(), value.c_str(), 1);
            for (const std::string& name : start.removedVariables)
                unsetenv(name.c_str());
            std::freopen(out.c_str(), "w", stdout);
            std::freopen(err.c_str(), "w", stderr);
            std::vector<char*> argv{const_cast<char*>(start.executable.c_str())};
            for (const std::string& argument : start.arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execv(start.executable.c_str(), argv.data());
            _exit(127);
        }
        return child;
    }

    // What an ended program said, with its exit code (128 + the signal when a signal ended it).
    RunResult Result(int status) const {
        RunResult result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.output = ReadText(folder / "stdout.txt");
        result.errors = ReadText(folder / "stderr.txt");
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

// --help names the keys the player chose (read from Controls.cfg, never written); a damaged file
// gives the first start's keys and one line saying so.
TEST(Program, HelpShowsTheKeysInForce) {
    ProgramFolder program;
    const fs::path playerFolder = program.folder / "xdg" / "vantorix";
    fs::create_directories(playerFolder);
    ControlBindings controls = DefaultControlBindings();
    ASSERT_TRUE(PlaceKey(controls, GameControl::Pause, 0, 0x24)); // J
    PlacePadButton(controls, GameControl::Pause, 0, PadButton::Y);
    const std::string text = EncodeControlBindings(controls);
    Start start;
    start.workingFolder = program.folder;
    start.arguments = {"--help"};
    start.environment = {{"XDG_DATA_HOME", (program.folder / "xdg").string()}};
    struct Case {
        std::string file;
        std::vector<std::string> said; // in the help
        bool notice;
    };
    const Case cases[] = {
        {text, {"J pauses", "Y pauses", "Left Ctrl or Right Ctrl"}, false},
        {"fire 1 0 a none\n", {"P pauses", "Start pauses"}, true},
    };
    for (const Case& c : cases) {
        std::ofstream(playerFolder / "Controls.cfg", std::ios::binary) << c.file;
        const RunResult result = program.RunProgram(start);
        EXPECT_EQ(result.exitCode, 0);
        std::string oneLine = result.output; // the paragraphs are wrapped anywhere
        std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
        for (const std::string& words : c.said)
            EXPECT_NE(oneLine.find(words), std::string::npos) << words << " in\n" << result.output;
        EXPECT_EQ(result.errors.find("Controls.cfg is damaged") != std::string::npos, c.notice)
            << result.errors;
        EXPECT_EQ(ReadText(playerFolder / "Controls.cfg"), c.file) << "read, never written";
        EXPECT_FALSE(fs::exists(playerFolder / "Config.cfg"));
    }
}

namespace {

// Polls `done` every 20 ms for at most `limitMs`; a guard against hangs, not a measure of speed.
template <typename Condition> bool WaitFor(int limitMs, Condition done) {
    for (int waited = 0; waited < limitMs; waited += 20) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

// The state letter and the parent of a process, from /proc/<pid>/stat ("pid (name) S ppid ...").
bool ProcessState(pid_t pid, char& state, pid_t& parent) {
    const std::string stat = ReadText(fs::path("/proc") / std::to_string(pid) / "stat");
    const size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos) return false;
    return std::sscanf(stat.c_str() + nameEnd + 1, " %c %d", &state, &parent) == 2;
}

std::string ProcessName(pid_t pid) {
    std::string name = ReadText(fs::path("/proc") / std::to_string(pid) / "comm");
    if (!name.empty() && name.back() == '\n') name.pop_back();
    return name;
}

// A child of `parent` that runs the same program (a fork, not a helper it started), or 0.
pid_t ForkOf(pid_t parent) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        const pid_t pid = std::stoi(name);
        char state = 0;
        pid_t itsParent = 0;
        if (ProcessState(pid, state, itsParent) && itsParent == parent &&
            ProcessName(pid) == ProcessName(parent))
            return pid;
    }
    return 0;
}

bool Ended(pid_t pid) {
    char state = 0;
    pid_t parent = 0;
    return !ProcessState(pid, state, parent) || state == 'Z';
}

// An X server of the tests' own on a display number it picks itself.
class VirtualScreen {
  public:
    VirtualScreen() {
        int ready[2];
        if (pipe(ready) != 0) return;
        server = fork();
        if (server == 0) {
            close(ready[0]);
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            const std::string fd = std::to_string(ready[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
                   "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        // Xvfb writes its display number and a newline once it takes connections, or closes the pipe
        // on failure; the pipe stays open until the newline, since Xvfb stops when it cannot write it.
        std::string number;
        char c = 0;
        while (read(ready[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(ready[0]);
        if (c == '\n' && !number.empty()) display = ":" + number;
    }
    ~VirtualScreen() {
        if (server <= 0) return;
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
    VirtualScreen(const VirtualScreen&) = delete;
    VirtualScreen& operator=(const VirtualScreen&) = delete;

    std::string display; // empty when the server did not start
    pid_t server = -1;
};

size_t CountTemporaries(const fs::path& folder) {
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().starts_with("Config.cfg.")) ++count;
    return count;
}

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(Program, WithoutADisplayItStopsWithOneClearMessage) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> set;
        std::vector<std::string> removed;
        std::string says;
    };
    const Case cases[] = {
        {{{"DISPLAY", ":199"}},
         {"SDL_VIDEODRIVER", "WAYLAND_DISPLAY"},
         "no display server answers at DISPLAY=:199"},
        {{}, {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"}, "neither DISPLAY nor WAYLAND_DISPLAY is set"},
    };
    ProgramFolder program;
    fs::remove(program.folder / "Data");
    fs::create_directory_symlink(fs::current_path() / "Data", program.folder / "Data");
    for (const Case& c : cases) {
        Start start;
        start.workingFolder = program.folder;
        start.environment = c.set;
        start.removedVariables = c.removed;
        const RunResult result = program.RunProgram(start);
        EXPECT_EQ(result.exitCode, 1) << c.says;
        EXPECT_NE(result.errors.find(c.says), std::string::npos) << result.errors;
        EXPECT_EQ(result.errors.find("vantorix:"), result.errors.rfind("vantorix:")) << result.errors;
        EXPECT_FALSE(fs::exists(program.folder / "Config.cfg"))
            << "nothing is written before the window opens";
    }
}

TEST(Program, TerminationWhileTheFaultBoxIsUpEndsTheProgramAndTheBox) {
    const VirtualScreen screen;
    ASSERT_FALSE(screen.display.empty()) << "Xvfb did not start";
    ProgramFolder program;
    WriteBytes((program.folder / "Data" / "Data.pp").string(),
               ChainRecords({EncodeTestBmp(SolidPicture(4, 4, 0)), {'j', 'u', 'n', 'k'}}));
    for (const int signal : {SIGTERM, SIGINT}) {
        Start start;
        start.workingFolder = program.folder;
        // No session bus: the library would otherwise start one for the new display.
        start.environment = {
            {"DISPLAY", screen.display},
            {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (program.folder / "no-bus").string()}};
        start.removedVariables = {"SDL_VIDEODRIVER", "WAYLAND_DISPLAY"};
        const pid_t game = program.Spawn(start);
        // The box runs in a fork of the game.
        pid_t box = 0;
        const bool boxShown = WaitFor(60000, [&] { return (box = ForkOf(game)) != 0; });
        kill(game, signal);
        int status = 0;
        const bool ended = WaitFor(10000, [&] { return waitpid(game, &status, WNOHANG) == game; });
        if (!ended) {
            kill(game, SIGKILL);
            waitpid(game, &status, 0);
        }
        const bool boxEnded = boxShown && WaitFor(10000, [&] { return Ended(box); });
        if (boxShown && !boxEnded) kill(box, SIGKILL);
        ASSERT_TRUE(boxShown) << program.Result(status).errors;
        EXPECT_TRUE(ended) << "signal " << signal;
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "signal " << signal;
        EXPECT_TRUE(boxEnded) << "the box outlived the game, signal " << signal;
        EXPECT_NE(program.Result(status).errors.find("record 1"), std::string::npos)
            << program.Result(status).errors;
    }
}

TEST(Program, SavesKilledAtRandomMomentsLeaveTheOldOrNewFileAndTheNextStartNoTemporary) {
    ProgramFolder program;
    fs::remove(program.folder / "Data");
    fs::create_directory_symlink(fs::current_path() / "Data", program.folder / "Data");
    const fs::path config = program.folder / "Config.cfg";
    // Two contents of different lengths, so a torn or mixed file cannot pass for either.
    const auto contents = [](uint32_t variant) {
        Options = TOptions{};
        ResetHighScores();
        Options.Country = variant % 2 ? "A country with a rather longer name" : "Short";
        return EncodeConfig();
    };
    const std::string before = contents(0);
    const std::string after = contents(1);
    WriteBytes(config.string(), std::vector<uint8_t>(before.begin(), before.end()));

    std::mt19937 random(14);
    pid_t saver = 0;
    for (int round = 0; round < 60; ++round) {
        saver = fork();
        if (saver == 0)
            for (uint32_t variant = 1;; ++variant) {
                contents(variant);
                SaveConfig(config.string());
            }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
        kill(saver, SIGKILL);
        waitpid(saver, nullptr, 0);
        const std::string bytes = FileBytes(config);
        ASSERT_TRUE(bytes == before || bytes == after)
            << "round " << round << ": " << bytes.size() << " bytes";
    }
    // What a kill in the middle of writing leaves, in case no round happened to leave one.
    if (CountTemporaries(program.folder) == 0)
        WriteBytes((program.folder / ("Config.cfg." + std::to_string(saver) + ".tmp")).string(), {1, 1});
    const std::string saved = FileBytes(config);

    Start start;
    start.workingFolder = program.folder;
    const pid_t game = program.Spawn(start);
    EXPECT_TRUE(WaitFor(60000, [&] { return CountTemporaries(program.folder) == 0; }));
    kill(game, SIGTERM);
    int status = 0;
    waitpid(game, &status, 0);
    EXPECT_EQ(program.Result(status).exitCode, 0) << program.Result(status).errors;
    EXPECT_EQ(CountTemporaries(program.folder), 0u);
    EXPECT_EQ(FileBytes(config), saved) << "a start that finds a sound file leaves it as it is";
}

TEST(Program, EveryStartSeedsAfreshAndVantorixSeedPlaysOneAgain) {
    ProgramFolder program;
    fs::remove(program.folder / "Data");
    fs::create_directory_symlink(fs::current_path() / "Data", program.folder / "Data");
    struct Case {
        const char* variable; // nullptr: not set
        const char* seed;     // what the start must tell; nullptr: any fresh seed
        bool complaint;
    };
    const Case cases[] = {{nullptr, nullptr, false}, {nullptr, nullptr, false},
                          {"42", "42", false},       {"4294967295", "4294967295", false},
                          {"-1", nullptr, true},     {"12abc", nullptr, true}};
    std::vector<std::string> fresh;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variable ? c.variable : "(not set)");
        fs::remove(program.folder / "Config.cfg"); // written again once this start runs
        Start start;
        start.workingFolder = program.folder;
        start.stopAfterMs = 300;
        start.startedWhen = program.folder / "Config.cfg";
        if (c.variable) start.environment = {{"VANTORIX_SEED", c.variable}};
        const RunResult result = program.RunProgram(start);
        EXPECT_EQ(result.exitCode, 0) << result.errors;
        const std::string told = "vantorix: random seed ";
        const size_t at = result.output.find(told);
        ASSERT_NE(at, std::string::npos) << result.output;
        const std::string seed =
            result.output.substr(at + told.size(), result.output.find('\n', at) - at - told.size());
        if (c.seed) {
            EXPECT_EQ(seed, c.seed);
        } else {
            fresh.push_back(seed);
        }
        EXPECT_EQ(result.errors.find("VANTORIX_SEED") != std::string::npos, c.complaint) << result.errors;
    }
    ASSERT_EQ(fresh.size(), 4u);
    EXPECT_NE(fresh[0], fresh[1]) << "two plain starts seed differently";
}
