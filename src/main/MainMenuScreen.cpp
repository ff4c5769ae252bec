// The main menu: a new game, the options, the high scores, help, the web site and the way out.
#include "DXCtrl/MenuClick.h"
#include "audio/Audio.h"
#include "graphics/PackRecords.h"
#include "main/Form.h"
#include "main/MenuWidgets.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/ScreenInput.h"
#include "main/Screens.h"
#include "online/GoToLink.h"
#include "online/WebScores.h"
#include "persistence/Options.h"
#include "platform/Input.h"

namespace {

constexpr int MainMenuPanelX = 461;
constexpr int MainMenuPanelY = 327;

bool DrawMainMenu(const Canvas& canvas, uint32_t) {
    const bool drawn = DrawMenuBackground(canvas);
    DrawPicture(canvas, InterfaceRecord::Logo, 0, 0);
    DrawMainMenuPanel(canvas);
    return drawn;
}

void MainMenuKey(TForm1& form, uint16_t key) {
    if (key == VkEscape)
        form.Close(); // the close query turns this into the exit question
    else
        StepButtons(*MainMenu, key, form);
}

void PointAtMainMenu() {
    MainMenu->SelectItemAtMouse();
}

void MainMenuAction(TForm1& form) {
    if (!MainMenu->MouseOver) return;
    switch (MainMenu->ItemIndex) {
    case ItemNewGame:
        if (Options.MusicEnabled) PlayMusic("2.xm");
        form.StartGame();
        return; // no click
    case ItemOptions:
        RequestScreen(ScreenOptions);
        break;
    case ItemHiScores:
        RequestScreen(ScreenHiScores);
        break;
    case ItemHelp:
        RequestScreen(ScreenHelpOverview);
        break;
    case ItemWebSite:
        OpenLink(ScoreServerHomePage()); // a failure is told by the notice
        break;
    case ItemExit:
        RequestScreen(ScreenExitQuestion);
        FreezePicture(form);
        break;
    default:
        break;
    }
    PlayMenuClickDirect();
}

} // namespace

void DrawMainMenuPanel(const Canvas& canvas) {
    DrawPicture(canvas, InterfaceRecord::MainMenuPanel, MainMenuPanelX, MainMenuPanelY);
    MainMenu->Draw(canvas.target);
}

const ScreenHome MainMenuHome = {nullptr,         DrawMainMenu,   MainMenuKey, nullptr, PadKeys::Menu,
                                 PointAtMainMenu, MainMenuAction, true,        false};
