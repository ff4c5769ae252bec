// What each key does on each screen (the shell's key table).
#include "Game/TGame.h"
#include "core/ScreenState.h"
#include "main/Form.h"
#include "platform/Input.h"

void TForm1::HandleScreenKey(uint16_t key) {
    switch (ScreenState) {
    case ScreenIntro:
        break;
    case ScreenGame:
        if (key == VkP) PauseGame();
        else if (key == VkEscape && CurrentGame && CurrentGame->Phase == PhasePlay) {
            ScreenState = ScreenQuitQuestion;
            EndGameMouse();
            SavedScreen->BlitWhole(*BackBuffer, 0, 0, false);
        }
        break;
    case ScreenPause:
        if (key == VkP || key == VkEscape) ScreenState = ScreenGame;
        break;
    case ScreenMainMenu:
        if (key == VkEscape) Close();
        break;
    default: break;
    }
}
