// "Exit game?" over the menu picture: Yes closes the program (saving the settings), No goes back.
#include "DXCtrl/MenuClick.h"
#include "graphics/PackRecords.h"
#include "graphics/Text.h"
#include "main/Form.h"
#include "main/MenuWidgets.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/ScreenInput.h"
#include "main/Screens.h"

namespace {

bool DrawExitQuestion(const Canvas& canvas, uint32_t) {
    // The menu picture, not the frozen one, lies under this panel.
    const bool drawn = DrawMenuBackground(canvas);
    DrawPanel(canvas, 190);
    DrawPicture(canvas, InterfaceRecord::Logo, 0, 0);
    DrawPanelText(canvas, ExitGameText, 46, 20, ColourDimGreen);
    YesNoQuestion->Draw(canvas.target);
    return drawn;
}

void ExitQuestionKey(TForm1& form, uint16_t key) {
    if (IsEscapeOrN(key))
        RequestScreen(ScreenMainMenu);
    else
        HandleQuestionKey(form, *YesNoQuestion, key, true);
}

void ExitQuestionAction(TForm1& form) {
    if (!YesNoQuestion->MouseOver) return;
    if (YesNoQuestion->Choice) {
        ExitConfirmed = true;
        form.Close(); // the close query lets it pass now
        SaveSettings();
    } else {
        RequestScreen(ScreenMainMenu);
        ExitConfirmed = false;
    }
    PlayMenuClickDirect();
}

} // namespace

const ScreenHome ExitQuestionHome = {nullptr,       DrawExitQuestion, ExitQuestionKey,    nullptr,
                                     PadKeys::Menu, PointAtYesOrNo,   ExitQuestionAction, true,
                                     false};
