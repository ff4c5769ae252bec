// "Exit game?" over the running game's picture: Yes ends the game (it goes on to its game-over),
// No or Escape goes back into it.
#include "DXCtrl/MenuClick.h"
#include "graphics/Text.h"
#include "main/MainState.h"
#include "main/MenuWidgets.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/ScreenInput.h"

namespace {

bool DrawQuitQuestion(const Canvas& canvas, uint32_t) {
    const bool drawn = DrawSavedScreen(canvas);
    DrawPanel(canvas, 190);
    DrawPanelText(canvas, ExitGameText, 46, 20, ColourDimGreen);
    YesNoQuestion->Draw(canvas.target);
    return drawn;
}

void QuitQuestionKey(TForm1& form, uint16_t key) {
    if (IsEscapeOrN(key))
        ResumeGame(form);
    else
        HandleQuestionKey(form, *YesNoQuestion, key, true);
}

void QuitQuestionAction(TForm1& form) {
    if (!YesNoQuestion->MouseOver) return;
    if (YesNoQuestion->Choice) PlayerGaveUp = true;
    ResumeGame(form);
    PlayMenuClickDirect();
}

} // namespace

// The close button is refused here: the exit question's "No" would drop the running game.
const ScreenHome QuitQuestionHome = {nullptr,       DrawQuitQuestion, QuitQuestionKey,    nullptr,
                                     PadKeys::Menu, PointAtYesOrNo,   QuitQuestionAction, false,
                                     true};
