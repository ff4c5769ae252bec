#include "main/CommandLine.h"

#include "main/ControlsText.h"

#include <string_view>

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine command;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            command.action = CommandLine::Action::ShowHelp;
            return command; // help wins over everything else, as in most programs
        }
        if (argument == "--version") {
            command.action = CommandLine::Action::ShowVersion;
        } else if (argument == "--windowed") {
            command.windowed = true;
        } else if (argument == "--fullscreen") {
            command.windowed = false;
        } else if (argument == "--replay" || argument == "--verify") {
            if (i + 1 >= argc) {
                command.action = CommandLine::Action::Misuse;
                command.problem = "option '" + std::string(argument) + "' needs a replay file";
                return command;
            }
            command.replayFile = argv[++i];
            if (argument == "--verify") command.action = CommandLine::Action::VerifyReplay;
        } else {
            command.action = CommandLine::Action::Misuse;
            command.problem = argument.starts_with('-')
                                  ? "unknown option '" + std::string(argument) + "'"
                                  : "unexpected argument '" + std::string(argument) + "'";
            return command;
        }
    }
    return command;
}

std::string HelpText(const ControlBindings& controls) {
    return std::string(UsageLine) + R"(
A space shooter: fly through the waves, beat the bosses, and keep your name on the high-score table.

Options:
  --windowed     play in an 800x600 window this time (Config.cfg keeps its setting)
  --fullscreen   play full screen this time (Config.cfg keeps its setting)
  --replay FILE  watch a recorded game: P pauses, 1-4 or the arrows set the speed (1x, 2x,
                 4x, 8x), Esc goes back to the menu; FILE may be a web address (a verified
                 game's replay link on the online table)
  --verify FILE  play a recorded game again without a screen and check what it claims; prints
                 one line of JSON and exits with 0 (it holds), 1 (it does not) or 2 (the file
                 is damaged or from another version); FILE - reads standard input
  -h, --help     show this help and exit
  --version      show the version and exit

Environment:
  VANTORIX_SERVER  the score server as host[:port], instead of the built-in one
  VANTORIX_SEED    the random seed (0 to 4294967295), to play a start again; every start
                   tells its seed on standard output
  XDG_DATA_HOME    the options and high scores are kept in $XDG_DATA_HOME/vantorix/Config.cfg
                   (~/.local/share/vantorix/Config.cfg when it is not set)

Started in a folder that holds Data/Data.pp, the game plays from that folder and keeps its
Config.cfg there (a portable copy). The keys and pad buttons are kept beside it in Controls.cfg
(Options, Controls in the game). The last game and the games on the high-score table are kept as
replays in the folder replays/ beside Config.cfg; the high-score screen plays them.

)" + ControlsHelpText(controls, PadLabels::Common);
}
