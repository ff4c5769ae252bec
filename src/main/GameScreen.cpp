// The running game as a screen: it draws itself (the form runs its frames); P pauses and Escape, in
// play, asks whether to quit.
#include "Game/TGame.h"
#include "main/Form.h"
#include "main/MainState.h"
#include "main/PadKeys.h"
#include "main/ScreenHome.h"
#include "main/ScreenInput.h"
#include "main/Screens.h"
#include "platform/Input.h"

namespace {

void GameKey(TForm1& form, uint16_t key) {
    if (key == VkP)
        form.PauseGame();
    else if (key == VkEscape && CurrentGame && CurrentGame->Phase == GamePhase::Play) {
        RequestScreen(ScreenQuitQuestion);
        form.EndGameMouse();
        FreezePicture(form);
    }
}

// The player's keys: the pause's keys pause, the quit question's ask; any other key does nothing here.
bool GameKeyAtPlace(TForm1& form, uint8_t scanCode) {
    GameKey(form, PlayKeyAt(scanCode));
    return true;
}

} // namespace

const ScreenHome GameHome = {nullptr, nullptr, GameKey, nullptr, PadKeys::Game,
                             nullptr, nullptr, false,   true,    GameKeyAtPlace};
