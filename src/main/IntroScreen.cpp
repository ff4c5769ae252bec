// The intro: the title slides in over the main menu, whose highlight walks down the items; it ends on
// its own, or at a click.
#include "graphics/Blit.h"
#include "graphics/PackRecords.h"
#include "graphics/SpriteStore.h"
#include "main/MenuWidgets.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/Screens.h"

namespace {

constexpr uint32_t IntroEndCount = 250;
constexpr uint32_t IntroStep = 3;
constexpr uint32_t IntroHighlightEvery = 14;
constexpr TRect IntroLogoPart{0, 0, 250, 138};

void StepIntro() {
    if (AnimCounter >= IntroEndCount) {
        RequestScreen(ScreenMainMenu);
        AnimCounter = 0;
    }
    AnimCounter += IntroStep;
    if (AnimCounter % IntroHighlightEvery == 0) MainMenu->Next();
}

bool DrawIntro(const Canvas& canvas, uint32_t counter) {
    DrawPicture(canvas, InterfaceRecord::MenuBackground, 0, 0, false);
    // The title slides in from the left edge; the position is a 16-bit value, as the blit takes it.
    DrawSprite(InterfaceSprites[InterfaceRecord::Logo], canvas.target, IntroLogoPart,
               static_cast<int16_t>(counter - IntroEndCount), 0);
    DrawMainMenuPanel(canvas);
    return true;
}

void IntroKey(TForm1&, uint16_t) {} // only a click skips the intro

void SkipIntro(TForm1&) {
    RequestScreen(ScreenMainMenu);
}

} // namespace

const ScreenHome IntroHome = {StepIntro, DrawIntro, IntroKey, nullptr, PadKeys::None,
                              nullptr,   SkipIntro, false,    false};
