#include "main/ControlsText.h"

#include "platform/Input.h"

#include <algorithm>
#include <initializer_list>

namespace {

// What each control does, said after its keys ("P pauses").
constexpr std::array<std::string_view, GameControlCount> ControlVerbs = {
    "flies left", "flies right", "flies up", "flies down", "fires", "fires the special weapon",
    "pauses",     "asks to quit"};
constexpr GameControl Directions[] = {GameControl::Left, GameControl::Right, GameControl::Up,
                                      GameControl::Down};

// The page's own words about the first start's keys.
constexpr std::array<std::string_view, 5> FirstStartKeyLines = {
    "Use the arrow keys or mouse to move the spaceship",
    "Press \"Ctrl\" key or left mouse button to fire.",
    "Use \"P\" to pause or resume the game.",
    "Use \"Escape\" key to quit the game to Main Menu.",
    "Use \"Alt\"+\"Enter\" keys to change window/full screen modes.",
};
// Pad lines of the page are wrapped at this many characters (the page's lines are about as long).
constexpr size_t PageLineLength = 68;
constexpr size_t HelpLineLength = 100;

// A control's names (keys or pad buttons, by `nameOf` for each slot), joined by `between`.
template <typename NameOf> std::string Names(NameOf nameOf, std::string_view between, bool quoted) {
    std::string text;
    for (size_t slot = 0; slot < SlotsPerControl; ++slot) {
        const std::string name = nameOf(slot);
        if (name.empty()) continue;
        if (!text.empty()) text += between;
        text += quoted ? Quoted(name) : name;
    }
    return text;
}

std::string KeysOf(const ControlBinding& binding, std::string_view between, bool quoted) {
    return Names([&](size_t slot) { return KeySlotText(binding, slot); }, between, quoted);
}

std::string PadsOf(const ControlBinding& binding, PadLabels labels, std::string_view between, bool quoted) {
    return Names([&](size_t slot) { return PadSlotText(binding, slot, labels); }, between, quoted);
}

bool DirectionsOnTheDpad(const ControlBindings& controls) {
    const ControlBindings first = DefaultControlBindings();
    for (const GameControl control : Directions)
        if (controls[control].PadButtons != first[control].PadButtons) return false;
    return true;
}

std::string Joined(const std::vector<std::string>& parts, std::string_view between) {
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty()) text += between;
        text += part;
    }
    return text;
}

// Breaks a paragraph into lines of at most `length` characters, at spaces.
std::vector<std::string> Wrapped(const std::string& text, size_t length) {
    std::vector<std::string> lines(1);
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, end - at);
        if (!lines.back().empty() && lines.back().size() + 1 + word.size() > length) lines.emplace_back();
        if (!lines.back().empty()) lines.back() += ' ';
        lines.back() += word;
        at = end + 1;
    }
    return lines;
}

// "<buttons> <what they do>" for every control the pad drives, the stick first.
std::vector<std::string> PadPhrases(const ControlBindings& controls, PadLabels labels,
                                    std::string_view between, bool quoted) {
    const bool dpad = DirectionsOnTheDpad(controls);
    std::vector<std::string> phrases{dpad ? "the d-pad or the left stick flies" : "the left stick flies"};
    for (size_t control = 0; control < GameControlCount; ++control) {
        const auto which = static_cast<GameControl>(control);
        const bool direction =
            std::find(std::begin(Directions), std::end(Directions), which) != std::end(Directions);
        const std::string buttons = PadsOf(controls[which], labels, between, quoted);
        if (buttons.empty() || (direction && dpad)) continue;
        phrases.push_back(buttons + " " + std::string(ControlVerbs[control]));
    }
    return phrases;
}

std::string MenuPadWords(PadLabels labels, bool quoted) {
    auto name = [&](PadButton button) {
        const std::string text(PadButtonName(button, labels));
        return quoted ? Quoted(text) : text;
    };
    return "in the menus the d-pad moves, " + name(PadButton::A) + " chooses and " + name(PadButton::B) +
           " goes back";
}

} // namespace

std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

std::string KeySlotText(const ControlBinding& binding, size_t slot) {
    const uint8_t key = binding.Keys.at(slot);
    return key == NoKey ? std::string() : KeyLabel(key);
}

std::string PadSlotText(const ControlBinding& binding, size_t slot, PadLabels labels) {
    const auto& button = binding.PadButtons.at(slot);
    return button ? std::string(PadButtonName(*button, labels)) : std::string();
}

std::string QuotedKeys(const ControlBinding& binding) {
    return KeysOf(binding, "/", true);
}

std::string QuotedPadButtons(const ControlBinding& binding, PadLabels labels) {
    return PadsOf(binding, labels, "/", true);
}

bool ControlsAsAtFirstStart(const ControlBindings& controls) {
    return controls.Controls == DefaultControlBindings().Controls;
}

// The key lines, two for the pad, one for the menus.
static_assert(FirstStartKeyLines.size() + 3 == ControlsPageLineCount);

std::array<std::string, ControlsPageLineCount> FirstStartControlsPageLines(PadLabels labels) {
    std::array<std::string, ControlsPageLineCount> lines;
    std::copy(FirstStartKeyLines.begin(), FirstStartKeyLines.end(), lines.begin());
    const std::vector<std::string> pad =
        Wrapped("GAMEPAD: " + Joined(PadPhrases(DefaultControlBindings(), labels, "/", true), ", ") + ".",
                PageLineLength);
    // Two lines for the pad; what would wrap onto a third stays on the second, drawn narrower.
    lines[FirstStartKeyLines.size()] = pad.front();
    lines[FirstStartKeyLines.size() + 1] = Joined(std::vector<std::string>(pad.begin() + 1, pad.end()), " ");
    std::string menus = MenuPadWords(labels, true) + "; up/down pick letters.";
    menus[0] = 'I';
    lines.back() = menus;
    return lines;
}

std::string ControlsHelpText(const ControlBindings& controls, PadLabels labels) {
    std::vector<std::string> keys;
    for (size_t control = 0; control < GameControlCount; ++control)
        keys.push_back(KeysOf(controls.Controls[control], " or ", false) + " " +
                       std::string(ControlVerbs[control]));
    const std::string keyboard =
        "Keys: " + Joined(keys, ", ") +
        "; Alt+Enter switches between window and full screen. A mouse flies and fires too.";
    const std::string pad = "Gamepad: " + Joined(PadPhrases(controls, labels, " or ", false), ", ") + "; " +
                            MenuPadWords(labels, false) + ".";
    std::string text;
    for (const std::string& paragraph : {keyboard, pad})
        for (const std::string& line : Wrapped(paragraph, HelpLineLength))
            text += line + "\n";
    return text;
}
