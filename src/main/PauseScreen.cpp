// The pause: the game's last picture under scan-line stripes, and "Pause"; P or Escape resumes.
#include "graphics/Text.h"
#include "main/PadKeys.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/ScreenInput.h"
#include "platform/Input.h"

namespace {

const PanelText PauseText{350, 300, "Pause"};

bool DrawPause(const Canvas& canvas, uint32_t) {
    const bool drawn = DrawSavedScreen(canvas);
    DrawPanelText(canvas, PauseText, 32, 20, ColourDimGreen);
    return drawn;
}

void PauseKey(TForm1& form, uint16_t key) {
    if (key == VkP || key == VkEscape) ResumeGame(form);
}

// The player's pause and quit-question keys resume, as P and Escape always did.
bool PauseKeyAtPlace(TForm1& form, uint8_t scanCode) {
    PauseKey(form, PlayKeyAt(scanCode));
    return true;
}

} // namespace

const ScreenHome PauseHome = {nullptr, DrawPause, PauseKey, nullptr, PadKeys::Pause,
                              nullptr, nullptr,   false,    true,    PauseKeyAtPlace};
