// The intro, the main menu, the options screen and its boss-key capture, the high-score screen and the
// four help pages.
#include "Game/TBonus.h"
#include "core/ScreenState.h"
#include "graphics/Blit.h"
#include "graphics/PackRecords.h"
#include "graphics/SpriteStore.h"
#include "graphics/Text.h"
#include "main/Form.h"
#include "main/KeyNames.h"
#include "main/MenuWidgets.h"
#include "main/ScreenDrawing.h"
#include "main/Screens.h"
#include "online/WebScores.h"
#include "persistence/HiScores.h"
#include "persistence/Options.h"

#include <array>
#include <string>

namespace {

// Texts are built once: drawing a screen allocates nothing.
struct ScreenText {
    int x;
    int y;
    std::string text;
};

void DrawPicture(TForm1& form, int picture, int x, int y, bool keyed = true) {
    DrawDirect(InterfaceSprites[picture], *form.BackBuffer, x, y, keyed);
}

void DrawHeaderPair(TForm1& form) {
    DrawPicture(form, InterfaceRecord::Logo, 0, 0);
    DrawPicture(form, InterfaceRecord::HeaderFrame, 388, 0);
}

void DrawScreenTitle(TForm1& form, int x, const std::string& title) {
    DrawTitleText(x, 25, 28, 18, title, *form.BackBuffer, ColourBrightGreen);
}

// ---- intro and main menu ----

constexpr uint32_t IntroEndCount = 250;
constexpr uint32_t IntroStep = 3;
constexpr uint32_t IntroHighlightEvery = 14;
constexpr TRect IntroLogoPart{0, 0, 250, 138};
constexpr int MainMenuPanelX = 461;
constexpr int MainMenuPanelY = 327;

} // namespace

void StepIntro() {
    if (AnimCounter >= IntroEndCount) {
        RequestScreen(ScreenMainMenu);
        AnimCounter = 0;
    }
    AnimCounter += IntroStep;
    if (AnimCounter % IntroHighlightEvery == 0) MainMenu->Next();
}

void DrawIntro(TForm1& form, uint32_t counter) {
    Surface& target = *form.BackBuffer;
    DrawPicture(form, InterfaceRecord::MenuBackground, 0, 0, false);
    // The title slides in from the left edge; the position is a 16-bit value, as the blit takes it.
    DrawSprite(InterfaceSprites[InterfaceRecord::Logo], target, IntroLogoPart,
               static_cast<int16_t>(counter - IntroEndCount), 0);
    DrawPicture(form, InterfaceRecord::MainMenuPanel, MainMenuPanelX, MainMenuPanelY);
    MainMenu->Draw(target);
}

void DrawMainMenu(TForm1& form) {
    DrawMenuBackground(form);
    DrawPicture(form, InterfaceRecord::Logo, 0, 0);
    DrawPicture(form, InterfaceRecord::MainMenuPanel, MainMenuPanelX, MainMenuPanelY);
    MainMenu->Draw(*form.BackBuffer);
}

// ---- options and the boss-key capture ----

namespace {

const std::string OptionsTitle = "Options";
constexpr int RowLabelX = 120;

struct RowLabel {
    int item;
    int below; // pixels below the item's top
    std::string text;
};
const std::array<RowLabel, 5> RowLabels = {{{ItemDisplay, 12, "Display"},
                                            {ItemMusic, 12, "Music"},
                                            {ItemSound, 12, "Sound"},
                                            {ItemCountry, 16, "Your country"},
                                            {ItemBossKey, 12, "Boss key"}}};

struct ValueText {
    int x;
    int width;
    std::string text;
};
const ValueText WindowValue{320, 14, "Window"};
const ValueText FullScreenValue{310, 10, "FullScreen"};
const ValueText OnValue{344, 14, "On"};
const ValueText OffValue{344, 10, "Off"};
const ValueText WaitingForKey{384, 14, "..."};
constexpr int DisplayValueY = 238;
constexpr int MusicValueY = 298;
constexpr int SoundValueY = 358;
constexpr int BossKeyValueY = 488;
constexpr int BossKeyValueX = 364;
constexpr int ValueHeight = 18;

void DrawValue(TForm1& form, const ValueText& value, int y) {
    DrawMenuText(value.x, y, ValueHeight, value.width, value.text, *form.BackBuffer, ColourBrightGreen,
                 false);
}

void DrawFace(TForm1& form, int picture, int item, int dx, int dy) {
    const TRect& r = OptionItemRects[item];
    DrawPicture(form, picture, r.left + dx, r.top + dy);
}

// Everything but the selection: background, header, title, row labels and the plain faces.
void DrawOptionsFrame(TForm1& form, bool capturingKey) {
    DrawPicture(form, InterfaceRecord::MenuBackground, 0, 0, false);
    DrawHeaderPair(form);
    DrawScreenTitle(form, 420, OptionsTitle);
    for (const RowLabel& label : RowLabels)
        DrawMenuText(RowLabelX, OptionItemRects[label.item].top + label.below, 18, 12, label.text,
                     *form.BackBuffer, ColourBrightGreen, false);
    DrawFace(form, InterfaceRecord::DisplayFace, ItemDisplay, 5, capturingKey ? 5 : 4);
    DrawFace(form, InterfaceRecord::OnOffFace, ItemMusic, 5, 5);
    DrawFace(form, InterfaceRecord::OnOffFace, ItemSound, 5, 5);
    if (capturingKey)
        DrawFace(form, InterfaceRecord::BossKeyHighlight, ItemBossKey, 0, 0);
    else
        DrawFace(form, InterfaceRecord::BossKeyFace, ItemBossKey, 4, 4);
    DrawFace(form, InterfaceRecord::BackFace, ItemOptionsBack, 7, 7);
}

void DrawOptionValues(TForm1& form, bool capturingKey) {
    DrawValue(form, Options.Windowed ? WindowValue : FullScreenValue, DisplayValueY);
    DrawValue(form, Options.MusicEnabled ? OnValue : OffValue, MusicValueY);
    DrawValue(form, Options.SoundEnabled ? OnValue : OffValue, SoundValueY);
    if (capturingKey) {
        DrawValue(form, WaitingForKey, BossKeyValueY);
        return;
    }
    const std::string name(KeyName(static_cast<uint32_t>(Options.MinimizeKey))); // short: no allocation
    DrawMenuText(BossKeyValueX, BossKeyValueY, ValueHeight, 14, name, *form.BackBuffer, ColourBrightGreen,
                 false);
}

} // namespace

void DrawOptions(TForm1& form) {
    DrawOptionsFrame(form, false);
    OptionsMenu->Draw(*form.BackBuffer);
    DrawOptionValues(form, false);
}

// Only the country field is drawn of the options list, so no other item shows a highlight.
void DrawKeyCapture(TForm1& form) {
    DrawOptionsFrame(form, true);
    OptionsMenu->Edit.Draw(*form.BackBuffer);
    DrawOptionValues(form, true);
}

// ---- high scores ----

namespace {
const std::string HiScoreTitle = "High Score";
constexpr int RowStripCount = 11;

bool SameTable(const std::array<THiScores, HiScoreCount>& a, const std::array<THiScores, HiScoreCount>& b) {
    for (int i = 0; i < HiScoreCount; ++i)
        if (a[i].Score != b[i].Score || a[i].Name != b[i].Name) return false;
    return true;
}

bool HiScoreStillCurrent() {
    return KeptHiScores.picture && KeptHiScores.storeGeneration == StoreGeneration &&
           SameTable(KeptHiScores.table, HiScoreTable);
}

void DrawHiScoreStill(TForm1& form) {
    DrawMenuBackground(form);
    for (int i = 0; i < RowStripCount; ++i)
        DrawPicture(form, InterfaceRecord::HiScoreRowStrip, 250, 120 + 36 * i, false);
    DrawHeaderPair(form);
    DrawScreenTitle(form, 420, HiScoreTitle);
    DrawPicture(form, InterfaceRecord::ClearTableFace, 50, 140);
    DrawPicture(form, InterfaceRecord::OnlineTableFace, 50, 210);
    DrawPicture(form, InterfaceRecord::BackFace, 121, 460, false);
    DrawHiScores(*form.BackBuffer);
}

void KeepHiScoreStill(const Surface& drawn, uint32_t generationWhenDrawn) {
    if (generationWhenDrawn != StoreGeneration) return; // the store was reloaded while drawing
    if (!KeptHiScores.picture) KeptHiScores.picture = Surface::Create(ScreenWidth, ScreenHeight);
    if (!KeptHiScores.picture) return;
    KeptHiScores.picture->BlitWhole(drawn, 0, 0, false);
    KeptHiScores.table = HiScoreTable;
    KeptHiScores.storeGeneration = generationWhenDrawn;
}

} // namespace

void DrawHiScoreScreen(TForm1& form) {
    if (HiScoreStillCurrent()) {
        if (form.BackBuffer->BlitWhole(*KeptHiScores.picture, 0, 0, false) != BlitOk) form.RestoreSurfaces();
    } else {
        const uint32_t generation = StoreGeneration;
        DrawHiScoreStill(form);
        KeepHiScoreStill(*form.BackBuffer, generation);
    }
    HiScoreButtons->Draw(*form.BackBuffer);
}

void ForgetScreenPictures() {
    ++StoreGeneration;
    KeptHiScores.picture.reset();
}

// ---- help pages ----

namespace {

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

const std::array<ScreenText, 15> ControlsLines = {{
    {40, 180, "MENU NAVIGATIONS"},
    {40, 210, "Use the cursor keys or mouse to move the menu cursor up and down"},
    {40, 230, "Press the \"Enter\" key or any mouse button to enter menu options"},
    {40, 250, "Press the \"Left Arrow\", \"Right Arrow\", \"Enter\" keys or any mouse"},
    {40, 270, "button to change a menu option."},
    {40, 290, "Press \"Esc\" to back from the submenu to Main Menu"},
    {40, 320, "GAME NAVIGATIONS"},
    {40, 350, "Use the arrow keys or mouse to move the spaceship"},
    {40, 370, "Press \"Ctrl\" key or left mouse button to fire."},
    {40, 390, "Use \"P\" to pause or resume the game."},
    {40, 410, "Use \"Escape\" key to quit the game to Main Menu."},
    {40, 430, "Use \"Alt\"+\"Enter\" keys to change window/full screen modes."},
    {40, 460, "GAMEPAD: d-pad or left stick flies, \"A\" or right trigger fires,"},
    {40, 480, "\"B\" or \"X\" fires the special weapon, \"Start\" pauses, \"Back\" quits."},
    {40, 500, "Menus: d-pad moves, \"A\" chooses, \"B\" goes back; up/down pick letters."},
}};
constexpr size_t ControlsHeadings[] = {0, 6}; // lines drawn as headings

const std::string AboutName = "VANTORIX v.2.0";
const std::string AboutMaker = "(c) 2006 Vantorix Team";
const std::string AboutHomePage = "The world high-score table, on the game's web site:";

void DrawHelpLine(TForm1& form, const ScreenText& line, int height, int width, uint32_t colour) {
    DrawMenuText(line.x, line.y, height, width, line.text, *form.BackBuffer, colour, false);
}

// Eight frames per bonus, each shown for ten drawn frames; the counter is the one the intro used, so
// a count past the last picture starts again at the first.
constexpr uint32_t FramesPerPicture = 10;
constexpr uint32_t LastPicture = 7;

uint32_t BonusCounterInRange(uint32_t counter) {
    return counter / FramesPerPicture > LastPicture ? 0 : counter;
}

void DrawOverviewBody(TForm1& form, uint32_t) {
    for (const ScreenText& line : OverviewLines)
        DrawHelpLine(form, line, 14, 10, ColourDimGreen);
}

void DrawBonusesBody(TForm1& form, uint32_t counter) {
    const int frame = static_cast<int>(BonusCounterInRange(counter) / FramesPerPicture);
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            const BonusKind& kind = BonusKindOf(static_cast<uint8_t>(3 * column + row));
            const TRect source = MakeRect(frame * kind.width, 0, kind.width, kind.height);
            DrawDirectRect(GameSprites[kind.sprite], *form.BackBuffer, source, 40 + 240 * column,
                           180 + 120 * row);
            const std::string name(kind.name); // short names: no allocation
            DrawMenuText(120 + 230 * column, 200 + 120 * row, 24, 14, name, *form.BackBuffer, ColourDimGreen,
                         false);
        }
    }
}

void DrawControlsBody(TForm1& form, uint32_t) {
    for (size_t i = 0; i < ControlsLines.size(); ++i) {
        const bool heading = i == ControlsHeadings[0] || i == ControlsHeadings[1];
        DrawHelpLine(form, ControlsLines[i], heading ? 18 : 14, 10,
                     heading ? ColourBrightGreen : ColourDimGreen);
    }
}

void DrawAboutBody(TForm1& form, uint32_t) {
    DrawPicture(form, InterfaceRecord::AboutPicture, 40, 220);
    DrawMenuText(170, 220, 28, 18, AboutName, *form.BackBuffer, ColourBrightGreen, false);
    DrawMenuText(170, 255, 28, 18, AboutMaker, *form.BackBuffer, ColourDimGreen, false);
    DrawMenuText(170, 296, 18, 11, AboutHomePage, *form.BackBuffer, ColourMediumGreen, false);
    DrawMenuText(170, 322, 28, 18, ScoreServerHomePage(), *form.BackBuffer, ColourDimGreen, false);
}

struct HelpPageContent {
    const std::string& title;
    void (*drawBody)(TForm1& form, uint32_t counter);
};

HelpPageContent HelpPageOf(Screen screen) {
    switch (screen) {
    case ScreenHelpOverview:
        return {OverviewTitle, DrawOverviewBody};
    case ScreenHelpBonuses:
        return {BonusesTitle, DrawBonusesBody};
    case ScreenHelpControls:
        return {ControlsTitle, DrawControlsBody};
    case ScreenHelpAbout:
        return {AboutTitle, DrawAboutBody};
    case ScreenIntro:
    case ScreenMainMenu:
    case ScreenGame:
    case ScreenOptions:
    case ScreenHiScores:
    case ScreenExitQuestion:
    case ScreenClearQuestion:
    case ScreenKeyCapture:
    case ScreenPause:
    case ScreenNameEntry:
    case ScreenSendQuestion:
    case ScreenQuitQuestion:
    case ScreenRetryQuestion:
    case ScreenPleaseWait:
        break; // not help pages
    }
    return {OverviewTitle, nullptr};
}

} // namespace

void StepBonusAnimation() {
    AnimCounter = BonusCounterInRange(AnimCounter) + 1;
}

void DrawHelpPage(TForm1& form, Screen screen, uint32_t counter) {
    const HelpPageContent page = HelpPageOf(screen);
    DrawPicture(form, InterfaceRecord::MenuBackground, 0, 0, false);
    DrawHeaderPair(form);
    DrawPicture(form, InterfaceRecord::PreviousFace, 440, 530);
    DrawPicture(form, InterfaceRecord::NextFace, 550, 530);
    DrawPicture(form, InterfaceRecord::BackFace, 660, 530);
    DrawScreenTitle(form, 475, HelpTitle);
    DrawTitleText(40, 140, 28, 18, page.title, *form.BackBuffer, ColourBrightGreen);
    if (page.drawBody) page.drawBody(form, counter);
    PageButtons->Draw(*form.BackBuffer);
}
