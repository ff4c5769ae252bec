// The program's options: what a start asks for before anything is opened.
#pragma once

#include "core/ControlBindings.h"

#include <optional>
#include <string>

struct CommandLine {
    enum class Action { Play, ShowHelp, ShowVersion, Misuse, VerifyReplay };
    Action action = Action::Play;
    // --verify FILE checks this replay without a screen; --replay FILE starts by watching it.
    std::string replayFile;
    // --windowed or --fullscreen: the window mode of this start only (the last one given wins).
    std::optional<bool> windowed;
    // What was wrong, for Misuse.
    std::string problem;
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

inline constexpr const char* UsageLine =
    "Usage: vantorix [--windowed | --fullscreen] [--replay FILE] [--verify FILE] [--help] [--version]";
// The whole --help text, with the keys and pad buttons in force.
std::string HelpText(const ControlBindings& controls);
