#include "core/ControlBindings.h"

ControlBindings DefaultControlBindings() {
    ControlBindings bindings;
    auto set = [&](GameControl control, std::array<uint8_t, 2> keys,
                   std::array<std::optional<PadButton>, 2> pad) {
        bindings[control] = {keys, pad};
    };
    set(GameControl::Left, {ScanLeft, NoKey}, {PadButton::Left, std::nullopt});
    set(GameControl::Right, {ScanRight, NoKey}, {PadButton::Right, std::nullopt});
    set(GameControl::Up, {ScanUp, NoKey}, {PadButton::Up, std::nullopt});
    set(GameControl::Down, {ScanDown, NoKey}, {PadButton::Down, std::nullopt});
    set(GameControl::Fire, {ScanLeftCtrl, ScanRightCtrl}, {PadButton::A, PadButton::RightTrigger});
    set(GameControl::Special, {ScanSpace, NoKey}, {PadButton::B, PadButton::X});
    set(GameControl::Pause, {ScanP, NoKey}, {PadButton::Start, std::nullopt});
    set(GameControl::QuitQuestion, {EscapeScanCode, NoKey}, {PadButton::Back, std::nullopt});
    return bindings;
}

std::optional<BindingPlace> FindKey(const ControlBindings& bindings, uint8_t scanCode) {
    if (scanCode == NoKey) return std::nullopt;
    for (size_t control = 0; control < GameControlCount; ++control)
        for (size_t slot = 0; slot < SlotsPerControl; ++slot)
            if (bindings.Controls[control].Keys[slot] == scanCode)
                return BindingPlace{static_cast<GameControl>(control), slot};
    return std::nullopt;
}

std::optional<BindingPlace> FindPadButton(const ControlBindings& bindings, PadButton button) {
    for (size_t control = 0; control < GameControlCount; ++control)
        for (size_t slot = 0; slot < SlotsPerControl; ++slot)
            if (bindings.Controls[control].PadButtons[slot] == button)
                return BindingPlace{static_cast<GameControl>(control), slot};
    return std::nullopt;
}

bool KeyMayGo(GameControl control, size_t slot, uint8_t scanCode) {
    const bool escapesPlace = control == GameControl::QuitQuestion && slot == 0;
    return slot < SlotsPerControl && (scanCode == EscapeScanCode) == escapesPlace;
}

bool PlaceKey(ControlBindings& bindings, GameControl control, size_t slot, uint8_t scanCode) {
    if (scanCode == NoKey || !KeyMayGo(control, slot, scanCode)) return false;
    uint8_t& here = bindings[control].Keys[slot];
    if (const auto holder = FindKey(bindings, scanCode)) {
        ControlBinding& other = bindings[holder->Control];
        // An empty slot has nothing to give back: the other control must keep a key of its own.
        if (here == NoKey && holder->Control != control && other.Keys[1 - holder->Slot] == NoKey)
            return false;
        other.Keys[holder->Slot] = here;
    }
    here = scanCode;
    return true;
}

void PlacePadButton(ControlBindings& bindings, GameControl control, size_t slot, PadButton button) {
    std::optional<PadButton>& here = bindings[control].PadButtons[slot];
    if (const auto holder = FindPadButton(bindings, button))
        bindings[holder->Control].PadButtons[holder->Slot] = here;
    here = button;
}

bool ClearKey(ControlBindings& bindings, GameControl control, size_t slot) {
    ControlBinding& binding = bindings[control];
    if (slot >= SlotsPerControl || binding.Keys[slot] == EscapeScanCode || binding.Keys[1 - slot] == NoKey)
        return false;
    binding.Keys[slot] = NoKey;
    return true;
}

void ClearPadButton(ControlBindings& bindings, GameControl control, size_t slot) {
    bindings[control].PadButtons[slot].reset();
}

bool FollowsTheRules(const ControlBindings& bindings) {
    std::array<bool, 256> keyUsed{};
    std::array<bool, PadButtonCount> padUsed{};
    for (size_t control = 0; control < GameControlCount; ++control) {
        const ControlBinding& binding = bindings.Controls[control];
        if (binding.Keys[0] == NoKey && binding.Keys[1] == NoKey) return false;
        for (size_t slot = 0; slot < SlotsPerControl; ++slot) {
            const uint8_t key = binding.Keys[slot];
            if (key != NoKey) {
                if (keyUsed[key] || !KeyMayGo(static_cast<GameControl>(control), slot, key)) return false;
                keyUsed[key] = true;
            }
            if (const auto button = binding.PadButtons[slot]) {
                if (padUsed[static_cast<size_t>(*button)]) return false;
                padUsed[static_cast<size_t>(*button)] = true;
            }
        }
    }
    return bindings[GameControl::QuitQuestion].Keys[0] == EscapeScanCode &&
           bindings.PadDeadZone <= MaxPadDeadZone;
}
