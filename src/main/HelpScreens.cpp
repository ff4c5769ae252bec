// The four help pages (overview, bonuses, controls, about), each a screen of its own in one frame:
// previous, next and back; the bonus page animates its pictures.
#include "DXCtrl/MenuClick.h"
#include "Game/TBonus.h"
#include "graphics/Blit.h"
#include "graphics/PackRecords.h"
#include "graphics/SpriteStore.h"
#include "graphics/Text.h"
#include "main/ControlsText.h"
#include "main/MenuWidgets.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/ScreenInput.h"
#include "main/Screens.h"
#include "online/WebScores.h"
#include "platform/Gamepad.h"
#include "platform/Input.h"
#include "platform/PlatformState.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace {

struct ScreenText {
    int x;
    int y;
    std::string text;
};

const std::string HelpTitle = "HELP";
const std::string OverviewTitle = "GAME OVERVIEW";
const std::string BonusesTitle = "BONUSES";
const std::string ControlsTitle = "CONTROLS";
const std::string AboutTitle = "ABOUT";

const std::array<ScreenText, 14> OverviewLines = {{
    {40, 180, "Your Galaxy is attacked by alien invaders. Your warship was"},
    {20, 200, "entrusted with an important mission.Infiltrate into the enemy"},
    {20, 220, "space forces and destroy all command ships that control the"},
    {20, 240, "military operations. A lot of enemy space fighters and battle"},
    {20, 260, "planes will stand in your way trying to prevent your"},
    {20, 280, "\"state-of-the-art ship from infiltrating into enemy\" s rear and"},
    {20, 300, "accomplishing your mission."},
    {40, 320, "Fly over a certain battle area at each level. Meet different"},
    {20, 340, "enemy ships that attack you on your way to the target."},
    {20, 360, "Destroy as many enemies as you can and stay alive."},
    {40, 380, "Sometimes you come across big command ships that are the primary"},
    {20, 400, "aim of your battle mission. Get the chance to equip your ship with"},
    {20, 420, "new weapon, armor and energy by destroying the enemy ships."},
    {40, 440, "Good luck in your battle mission! Defend your Galaxy!"},
}};

const std::array<ScreenText, 7> ControlsLines = {{
    {40, 180, "MENU NAVIGATIONS"},
    {40, 210, "Use the cursor keys or mouse to move the menu cursor up and down"},
    {40, 230, "Press the \"Enter\" key or any mouse button to enter menu options"},
    {40, 250, "Press the \"Left Arrow\", \"Right Arrow\", \"Enter\" keys or any mouse"},
    {40, 270, "button to change a menu option."},
    {40, 290, "Press \"Esc\" to back from the submenu to Main Menu"},
    {40, 320, "GAME NAVIGATIONS"},
}};
constexpr size_t ControlsHeadings[] = {0, 6}; // lines drawn as headings
const ScreenText WhereToChange{300, 323, "(change them in Options, Controls)"};

// The first start's controls keep the page's own lines, one at each of these heights; once the player
// has changed any, the page shows their table instead: a row per control with its keys and pad
// buttons, and a last line for the mouse and the window-mode keys.
constexpr std::array<int, ControlsPageLineCount> FirstStartLineTops = {350, 370, 390, 410,
                                                                       430, 460, 480, 500};
constexpr int TableTop = 348;
constexpr int TableRowHeight = 18;
constexpr int TableKeysX = 210;
constexpr int TablePadX = 490;
constexpr int TableFooterY = 498;
const std::string TableFooter =
    "The mouse flies and fires too. \"Alt\"+\"Enter\" changes window/full screen.";
constexpr int LineHeight = 14;
constexpr int LineWidth = 10;
constexpr int TableWidth = 9;
constexpr int PageRight = 785;

struct PageText {
    int x;
    int y;
    int width; // narrower than asked when the line would leave its room
    std::string text;
};

// The lines for the controls in force, made again only when the controls or the pad change.
struct GameLines {
    ControlBindings controls;
    PadLabels labels = PadLabels::Common;
    bool made = false;
    std::vector<PageText> lines;
};
GameLines gameLines;

void AddLine(std::vector<PageText>& lines, int x, int y, int width, std::string text, int right = PageRight) {
    const int fitting = WidthToFit(LineHeight, width, text, right - x);
    lines.push_back(PageText{x, y, fitting, std::move(text)});
}

std::vector<PageText> LinesForControls(const ControlBindings& controls, PadLabels labels) {
    std::vector<PageText> lines;
    const int x = ControlsLines[0].x;
    if (ControlsAsAtFirstStart(controls)) {
        const auto text = FirstStartControlsPageLines(labels);
        for (size_t i = 0; i < text.size(); ++i)
            AddLine(lines, x, FirstStartLineTops[i], LineWidth, text[i]);
        return lines;
    }
    for (size_t control = 0; control < GameControlCount; ++control) {
        const ControlBinding& binding = controls.Controls[control];
        const int y = TableTop + TableRowHeight * static_cast<int>(control);
        AddLine(lines, x, y, TableWidth, std::string(GameControlNames[control]), TableKeysX - 10);
        AddLine(lines, TableKeysX, y, TableWidth, QuotedKeys(binding), TablePadX - 10);
        AddLine(lines, TablePadX, y, TableWidth, QuotedPadButtons(binding, labels));
    }
    AddLine(lines, x, TableFooterY, TableWidth, TableFooter);
    return lines;
}

void RefreshGameLines() {
    const PadLabels labels = OpenPadLabels();
    if (gameLines.made && gameLines.controls == PlayerControls && gameLines.labels == labels) return;
    gameLines = GameLines{PlayerControls, labels, true, LinesForControls(PlayerControls, labels)};
}

const std::string AboutName = "VANTORIX v.2.0";
const std::string AboutMaker = "(c) 2006 Vantorix Team";
const std::string AboutHomePage = "The world high-score table, on the game's web site:";

void DrawHelpLine(const Canvas& canvas, const ScreenText& line, int height, int width, uint32_t colour) {
    DrawMenuText(line.x, line.y, height, width, line.text, canvas.target, colour, false);
}

// Eight frames per bonus, each shown for ten drawn frames; the counter is the one the intro used, so
// a count past the last picture starts again at the first.
constexpr uint32_t FramesPerPicture = 10;
constexpr uint32_t LastPicture = 7;

uint32_t BonusCounterInRange(uint32_t counter) {
    return counter / FramesPerPicture > LastPicture ? 0 : counter;
}

void StepBonusAnimation() {
    AnimCounter = BonusCounterInRange(AnimCounter) + 1;
}

// The frame every page shares, with the page's title; then the page's body, then the buttons.
void DrawHelpFrame(const Canvas& canvas, const std::string& title) {
    DrawPicture(canvas, InterfaceRecord::MenuBackground, 0, 0, false);
    DrawHeaderPair(canvas);
    DrawPicture(canvas, InterfaceRecord::PreviousFace, 440, 530);
    DrawPicture(canvas, InterfaceRecord::NextFace, 550, 530);
    DrawPicture(canvas, InterfaceRecord::BackFace, 660, 530);
    DrawScreenTitle(canvas, 475, HelpTitle);
    DrawTitleText(40, 140, 28, 18, title, canvas.target, ColourBrightGreen);
}

bool DrawOverviewPage(const Canvas& canvas, uint32_t) {
    DrawHelpFrame(canvas, OverviewTitle);
    for (const ScreenText& line : OverviewLines)
        DrawHelpLine(canvas, line, 14, 10, ColourDimGreen);
    PageButtons->Draw(canvas.target);
    return true;
}

bool DrawBonusesPage(const Canvas& canvas, uint32_t counter) {
    DrawHelpFrame(canvas, BonusesTitle);
    const int frame = static_cast<int>(BonusCounterInRange(counter) / FramesPerPicture);
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            const BonusKind& kind = BonusKindOf(static_cast<uint8_t>(3 * column + row));
            const TRect source = MakeRect(frame * kind.width, 0, kind.width, kind.height);
            DrawDirectRect(GameSprites[kind.sprite], canvas.target, source, 40 + 240 * column,
                           180 + 120 * row);
            const std::string name(kind.name); // short names: no allocation
            DrawMenuText(120 + 230 * column, 200 + 120 * row, 24, 14, name, canvas.target, ColourDimGreen,
                         false);
        }
    }
    PageButtons->Draw(canvas.target);
    return true;
}

bool DrawControlsPage(const Canvas& canvas, uint32_t) {
    DrawHelpFrame(canvas, ControlsTitle);
    for (size_t i = 0; i < ControlsLines.size(); ++i) {
        const bool heading = i == ControlsHeadings[0] || i == ControlsHeadings[1];
        DrawHelpLine(canvas, ControlsLines[i], heading ? 18 : 14, 10,
                     heading ? ColourBrightGreen : ColourDimGreen);
    }
    DrawHelpLine(canvas, WhereToChange, 14, 8, ColourMediumGreen);
    for (const PageText& line : gameLines.lines)
        DrawMenuText(line.x, line.y, LineHeight, line.width, line.text, canvas.target, ColourDimGreen, false);
    PageButtons->Draw(canvas.target);
    return true;
}

bool DrawAboutPage(const Canvas& canvas, uint32_t) {
    DrawHelpFrame(canvas, AboutTitle);
    DrawPicture(canvas, InterfaceRecord::AboutPicture, 40, 220);
    DrawMenuText(170, 220, 28, 18, AboutName, canvas.target, ColourBrightGreen, false);
    DrawMenuText(170, 255, 28, 18, AboutMaker, canvas.target, ColourDimGreen, false);
    DrawMenuText(170, 296, 18, 11, AboutHomePage, canvas.target, ColourMediumGreen, false);
    DrawMenuText(170, 322, 28, 18, ScoreServerHomePage(), canvas.target, ColourDimGreen, false);
    PageButtons->Draw(canvas.target);
    return true;
}

void HelpPageKey(TForm1& form, uint16_t key) {
    if (key == VkEscape)
        RequestScreen(ScreenMainMenu);
    else
        StepButtons(*PageButtons, key, form);
}

void PointAtPageButtons() {
    PageButtons->SelectItemAtMouse();
}

// Previous on the first page and next on the last one are silent.
void FollowPageButton(std::optional<Screen> previous, std::optional<Screen> next) {
    if (!PageButtons->MouseOver) return;
    std::optional<Screen> target;
    switch (PageButtons->ItemIndex) {
    case ItemPreviousPage:
        target = previous;
        break;
    case ItemNextPage:
        target = next;
        break;
    case ItemPageBack:
        target = ScreenMainMenu;
        break;
    default:
        break;
    }
    if (!target) return;
    RequestScreen(*target);
    PlayMenuClickDirect();
}

void OverviewAction(TForm1&) {
    FollowPageButton(std::nullopt, ScreenHelpBonuses);
}
void BonusesAction(TForm1&) {
    FollowPageButton(ScreenHelpOverview, ScreenHelpControls);
}
void ControlsAction(TForm1&) {
    FollowPageButton(ScreenHelpBonuses, ScreenHelpAbout);
}
void AboutAction(TForm1&) {
    FollowPageButton(ScreenHelpControls, std::nullopt);
}

} // namespace

const ScreenHome HelpOverviewHome = {nullptr,       DrawOverviewPage,   HelpPageKey,    nullptr,
                                     PadKeys::Menu, PointAtPageButtons, OverviewAction, true,
                                     false};
const ScreenHome HelpBonusesHome = {StepBonusAnimation, DrawBonusesPage, HelpPageKey, nullptr, PadKeys::Menu,
                                    PointAtPageButtons, BonusesAction,   true,        false};
const ScreenHome HelpControlsHome = {
    RefreshGameLines,   DrawControlsPage, HelpPageKey, nullptr, PadKeys::Menu,
    PointAtPageButtons, ControlsAction,   true,        false};
const ScreenHome HelpAboutHome = {nullptr,     DrawAboutPage, HelpPageKey,
                                  nullptr,     PadKeys::Menu, PointAtPageButtons,
                                  AboutAction, true,          false};
