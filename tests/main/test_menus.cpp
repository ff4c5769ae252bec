// The shell's menus, questions and key table through the real program, headless.
#include "Harness.h"
#include "ShellPilot.h"

#include "DXCtrl/TDDEdit.h"

#include "DXCtrl/MenuClick.h"
#include "Game/TGame.h"
#include "Game/TGunner.h"
#include "Game/TMyShip.h"
#include "core/ScreenState.h"
#include "graphics/SpriteStore.h"
#include "graphics/Text.h"
#include "main/MenuWidgets.h"
#include "main/ScreenDrawing.h"
#include "main/Screens.h"
#include "persistence/ConfigFile.h"
#include "persistence/HiScores.h"
#include "persistence/Options.h"
#include "platform/Input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

namespace {

// Share of a picture's opaque pixels that the back buffer shows at (x, y): 1 when it is drawn there.
double PictureCoverage(const Harness& h, int image, int x, int y) {
    const Surface& picture = *InterfaceSprites[image];
    int opaque = 0;
    int shown = 0;
    for (int py = 0; py < picture.Height(); ++py)
        for (int px = 0; px < picture.Width(); ++px) {
            const uint32_t colour = picture.Pixel(px, py);
            if (colour == ColourMagenta) continue;
            ++opaque;
            if (h.Pixel(x + px, y + py) == colour) ++shown;
        }
    return opaque == 0 ? 0.0 : static_cast<double>(shown) / opaque;
}

struct ClickCounter {
    uint32_t start = MenuClicksPlayed();
    uint32_t Count() const { return MenuClicksPlayed() - start; }
};

TEST(Menus, IntroLasts85FramesAndStepsTheHighlightSixTimes) {
    Harness h;
    ASSERT_TRUE(h.Started());
    std::vector<int> stepFrames;
    int frames = 0;
    int8_t item = MainMenu->ItemIndex;
    while (ScreenState == ScreenIntro && frames < 200) {
        h.Step();
        ++frames;
        if (MainMenu->ItemIndex != item) stepFrames.push_back(frames);
        item = MainMenu->ItemIndex;
    }
    EXPECT_EQ(frames, 85);
    EXPECT_EQ(stepFrames, (std::vector<int>{14, 28, 42, 56, 70, 84}));
    EXPECT_EQ(AnimCounter, 3u);
    EXPECT_EQ(MainMenu->ItemIndex, 0) << "six steps through six items";
}

// The screens' steps run in one place before the drawing; drawing a screen, at any count of the intro's
// counter, leaves the screen, the counter and the main menu's highlight as they were.
TEST(Menus, DrawingAShellScreenChangesNothingTheScreensDecideBy) {
    Harness h;
    ASSERT_TRUE(h.Started());
    h.Form().StartGame(); // the name entry and the questions draw over a game's picture
    for (const Screen screen :
         {ScreenIntro, ScreenMainMenu, ScreenOptions, ScreenHiScores, ScreenHelpOverview, ScreenHelpBonuses,
          ScreenHelpControls, ScreenHelpAbout, ScreenExitQuestion, ScreenClearQuestion, ScreenKeyCapture,
          ScreenPause, ScreenNameEntry, ScreenSendQuestion, ScreenQuitQuestion, ScreenRetryQuestion,
          ScreenPleaseWait}) {
        for (const uint32_t counter : {0u, 11u, 79u, 80u, 400u}) {
            SCOPED_TRACE(testing::Message() << "screen " << screen << ", counter " << counter);
            ScreenState = screen;
            AnimCounter = counter;
            const int8_t item = MainMenu->ItemIndex;
            DrawShellScreen(Canvas{*h.Form().BackBuffer, *h.Form().SavedScreen}, screen, counter);
            EXPECT_EQ(ScreenState, screen);
            EXPECT_EQ(AnimCounter, counter);
            EXPECT_EQ(MainMenu->ItemIndex, item);
        }
    }
}

TEST(Menus, TheBonusPageShowsEachPictureForTenFramesAndStartsAgainAfterTheEighth) {
    Harness h;
    GoToMainMenu(h);
    ScreenState = ScreenHelpBonuses;
    AnimCounter = 75;
    const std::vector<uint32_t> expected{76, 77, 78, 79, 80, 1, 2};
    std::vector<uint32_t> seen;
    for (size_t i = 0; i < expected.size(); ++i) {
        h.Step();
        seen.push_back(AnimCounter);
    }
    EXPECT_EQ(seen, expected);
}

TEST(Menus, AClickDuringTheIntroGoesStraightToTheMainMenu) {
    Harness h;
    h.Step(10);
    ClickCounter clicks;
    h.Click(100, 100);
    EXPECT_EQ(ScreenState, ScreenMainMenu);
    EXPECT_EQ(clicks.Count(), 0u);
}

TEST(Menus, EachMainMenuItemDoesItsAction) {
    const struct {
        int y;
        Screen screen;
        bool clicks;
    } items[] = {
        {394, ScreenOptions, true},  {433, ScreenHiScores, true},     {471, ScreenHelpOverview, true},
        {512, ScreenMainMenu, true}, {553, ScreenExitQuestion, true}, {356, ScreenGame, false},
    };
    Harness h;
    GoToMainMenu(h);
    for (const auto& item : items) {
        ScreenState = ScreenMainMenu;
        h.MoveMouse(10, 10);
        h.Step();
        ClickCounter clicks;
        // The click comes before any frame has seen the pointer on the item: it still acts on that item.
        h.Click(600, item.y);
        EXPECT_EQ(ScreenState, item.screen) << "item at y " << item.y;
        EXPECT_EQ(clicks.Count(), item.clicks ? 1u : 0u) << "item at y " << item.y;
    }
    EXPECT_TRUE(CurrentGame) << "New game starts a game";
}

TEST(Menus, ExitItemFreezesTheMenuPictureForTheQuestion) {
    Harness h;
    GoToMainMenu(h);
    h.MoveMouse(600, 553);
    h.Step(2);
    h.Click(600, 553);
    ASSERT_EQ(ScreenState, ScreenExitQuestion);
    EXPECT_EQ(h.Form().SavedScreen->Pixel(620, 560), h.Pixel(620, 560));
}

TEST(Menus, HighlightFollowsThePointerOneFrameLater) {
    Harness h;
    GoToMainMenu(h);
    h.MoveMouse(600, 433); // the high-score item, image 3 at (470, 415)
    h.Step();
    EXPECT_EQ(MainMenu->ItemIndex, ItemHiScores);
    EXPECT_LT(PictureCoverage(h, 3, 470, 415), 0.9);
    h.Step();
    EXPECT_GT(PictureCoverage(h, 3, 470, 415), 0.9);
    EXPECT_LT(PictureCoverage(h, 1, 470, 337), 0.9) << "only the selected item is highlighted";
}

TEST(Menus, EscapeOnOptionsReopensTheOptionsWithBackSelected) {
    Harness h;
    GoToMainMenu(h);
    h.Click(600, 394);
    ASSERT_EQ(ScreenState, ScreenOptions);
    for (int i = 0; i < 3; ++i) // past the controls' row and the boss key
        h.PressKey(SDLK_UP);
    EXPECT_EQ(OptionsMenu->ItemIndex, ItemCountry);
    h.PressKey(SDLK_ESCAPE);
    EXPECT_EQ(ScreenState, ScreenMainMenu);
    h.PressKey(SDLK_RETURN);
    ASSERT_EQ(ScreenState, ScreenOptions);
    EXPECT_EQ(OptionsMenu->ItemIndex, ItemOptionsBack);
    h.Step();
    EXPECT_GT(PictureCoverage(h, 14, 614, 533), 0.9) << "the Back highlight shows";
}

TEST(Menus, OptionsLeftAndRightPerformTheItemOfThePair) {
    Harness h;
    GoToMainMenu(h);
    const TOptions start = Options;
    const struct {
        int8_t selected;
        SDL_Keycode key;
        int8_t performed;
        std::function<bool()> done;
    } cases[] = {
        {ItemDisplay, SDLK_RIGHT, ItemMusic, [&] { return Options.MusicEnabled != start.MusicEnabled; }},
        {ItemMusic, SDLK_LEFT, ItemDisplay, [&] { return Options.Windowed != start.Windowed; }},
        {ItemSound, SDLK_RIGHT, ItemCountry, [] { return OptionsMenu->Edit.Editing; }},
        {ItemCountry, SDLK_LEFT, ItemSound, [&] { return Options.SoundEnabled != start.SoundEnabled; }},
        {ItemBossKey, SDLK_RIGHT, ItemOptionsBack, [] { return ScreenState == ScreenMainMenu; }},
        {ItemOptionsBack, SDLK_LEFT, ItemBossKey, [] { return ScreenState == ScreenKeyCapture; }},
    };
    for (const auto& c : cases) {
        ScreenState = ScreenOptions;
        OptionsMenu->ItemIndex = c.selected;
        h.PressKey(c.key);
        EXPECT_EQ(OptionsMenu->ItemIndex, c.performed) << "from item " << int(c.selected);
        EXPECT_TRUE(c.done()) << "from item " << int(c.selected);
        h.Step();
    }
}

TEST(Menus, AClickOnTheOptionsScreenOutsideEveryItemOnlyClicks) {
    Harness h;
    GoToMainMenu(h);
    ScreenState = ScreenOptions;
    const TOptions before = Options;
    ClickCounter clicks;
    h.Click(50, 580);
    EXPECT_EQ(ScreenState, ScreenOptions);
    EXPECT_EQ(Options.Windowed, before.Windowed);
    EXPECT_EQ(Options.MusicEnabled, before.MusicEnabled);
    EXPECT_EQ(clicks.Count(), 1u);
}

TEST(Menus, CountryFieldTakesLettersAndShowsTheCaretOnlyWhenTriggered) {
    Harness h;
    GoToMainMenu(h);
    ScreenState = ScreenOptions;
    for (SDL_Keycode key : {SDLK_b, SDLK_e, SDLK_a, SDLK_m, SDLK_BACKSPACE, SDLK_m})
        h.PressKey(key);
    h.Step();
    EXPECT_EQ(OptionsMenu->Edit.Text, "Beam");
    EXPECT_FALSE(OptionsMenu->Edit.Editing);
    OptionsMenu->ItemIndex = ItemCountry;
    h.PressKey(SDLK_RETURN);
    EXPECT_TRUE(OptionsMenu->Edit.Editing);
    h.Step();
    EXPECT_TRUE(OptionsMenu->Edit.Active);
    h.PressKey(SDLK_DOWN);
    h.Step();
    EXPECT_FALSE(OptionsMenu->Edit.Active) << "the caret shows only while the country item is selected";
}

TEST(Menus, BossKeyCaptureTakesOnlyANamedKey) {
    Harness h;
    GoToMainMenu(h);
    ScreenState = ScreenOptions;
    OptionsMenu->ItemIndex = ItemBossKey;
    h.PressKey(SDLK_SPACE);
    ASSERT_EQ(ScreenState, ScreenKeyCapture);
    h.Step();
    EXPECT_GT(PictureCoverage(h, 38, 305, 473), 0.9) << "the boss-key item is shown highlighted";
    EXPECT_LT(PictureCoverage(h, 14, 614, 533), 0.9) << "no other item shows a highlight";
    for (SDL_Keycode refused : {SDLK_0, SDLK_LSHIFT, SDLK_LCTRL, SDLK_CAPSLOCK}) {
        h.PressKey(refused);
        EXPECT_EQ(ScreenState, ScreenKeyCapture) << SDL_GetKeyName(refused);
    }
    h.PressKey(SDLK_b);
    EXPECT_EQ(ScreenState, ScreenOptions);
    EXPECT_EQ(Options.MinimizeKey, 'B');
}

TEST(Menus, HelpPagesStepThroughAndAreSilentAtBothEnds) {
    Harness h;
    GoToMainMenu(h);
    ScreenState = ScreenHelpOverview;
    PageButtons->SetItemIndex(ItemPreviousPage);
    ClickCounter silent;
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ScreenState, ScreenHelpOverview);
    EXPECT_EQ(silent.Count(), 0u) << "previous on the first page is silent";

    PageButtons->SetItemIndex(ItemNextPage);
    for (int32_t page : {ScreenHelpBonuses, ScreenHelpControls, ScreenHelpAbout}) {
        h.PressKey(SDLK_RETURN);
        EXPECT_EQ(ScreenState, page);
        h.Step(100); // the bonus page keeps its animation counter in range
        EXPECT_LT(AnimCounter, 80u);
    }
    ClickCounter lastPage;
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ScreenState, ScreenHelpAbout);
    EXPECT_EQ(lastPage.Count(), 0u) << "next on the last page is silent";
    h.PressKey(SDLK_LEFT);
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ScreenState, ScreenHelpControls);
    h.PressKey(SDLK_ESCAPE);
    EXPECT_EQ(ScreenState, ScreenMainMenu);
}

TEST(Menus, CloseRequestOnEachScreenIsRefusedOrAsksTheExitQuestion) {
    const struct {
        Screen screen;
        bool refused;
    } screens[] = {
        {ScreenIntro, true},         {ScreenMainMenu, false},      {ScreenGame, true},
        {ScreenOptions, false},      {ScreenHiScores, false},      {ScreenHelpOverview, false},
        {ScreenExitQuestion, false}, {ScreenClearQuestion, false}, {ScreenKeyCapture, false},
        {ScreenPause, true},         {ScreenNameEntry, true},      {ScreenSendQuestion, true},
        {ScreenQuitQuestion, true},  {ScreenRetryQuestion, false}, {ScreenPleaseWait, false},
        {ScreenHelpBonuses, false},  {ScreenHelpControls, false},  {ScreenHelpAbout, false},
    };
    Harness h;
    h.Form().StartGame();
    for (const auto& s : screens) {
        ScreenState = s.screen;
        h.Step(); // every screen draws
        ASSERT_EQ(ScreenState, s.screen == ScreenIntro ? ScreenIntro : s.screen);
        h.Form().CloseRequest();
        EXPECT_EQ(ScreenState, s.refused ? s.screen : ScreenExitQuestion) << "screen " << s.screen;
        EXPECT_FALSE(h.Form().Closed()) << "screen " << s.screen;
    }
}

TEST(Menus, ExitQuestionNoReturnsToTheMenuAndYesSavesAndCloses) {
    Harness h;
    GoToMainMenu(h);
    const std::string before = h.ConfigBytes();
    ASSERT_FALSE(before.empty());
    Options.MusicEnabled = !Options.MusicEnabled;

    h.PressKey(SDLK_ESCAPE);
    ASSERT_EQ(ScreenState, ScreenExitQuestion);
    h.Step();
    h.MoveMouse(480, 360); // No
    h.Step();
    h.Click(480, 360);
    EXPECT_EQ(ScreenState, ScreenMainMenu);
    EXPECT_FALSE(ExitConfirmed);
    EXPECT_FALSE(h.Form().Closed());
    EXPECT_EQ(h.ConfigBytes(), before);

    h.PressKey(SDLK_ESCAPE);
    h.MoveMouse(10, 10);
    h.PressKey(SDLK_y); // Y answers with the highlighted choice, still No
    EXPECT_EQ(ScreenState, ScreenMainMenu);
    EXPECT_FALSE(h.Form().Closed());

    h.PressKey(SDLK_ESCAPE);
    h.PressKey(SDLK_LEFT);
    h.PressKey(SDLK_RETURN);
    EXPECT_TRUE(ExitConfirmed);
    EXPECT_TRUE(h.Form().Closed());
    EXPECT_EQ(h.ConfigBytes(), EncodeConfig());
    EXPECT_NE(h.ConfigBytes(), before);
}

TEST(Menus, TheExitSavesTheCountryAsItsFieldShowsIt) {
    Harness h;
    GoToMainMenu(h);
    Options.Country = "Chad";
    ApplyCountryToOptionsScreen();
    OptionsMenu->Edit.SetText("Peru");
    ASSERT_EQ(Options.Country, "Chad") << "typing alone changes nothing kept";

    h.PressKey(SDLK_ESCAPE);
    h.PressKey(SDLK_LEFT);
    h.PressKey(SDLK_RETURN);
    ASSERT_TRUE(h.Form().Closed());
    EXPECT_EQ(Options.Country, "Peru");
    EXPECT_EQ(h.ConfigBytes(), EncodeConfig()) << "the file keeps what the field showed";
}

TEST(Menus, ClearingTheTableChangesMemoryOnlyUntilTheExitQuestionSaves) {
    Harness h;
    GoToMainMenu(h);
    HiScoreTable[0] = THiScores{"Zed", 5000};
    ASSERT_TRUE(SaveConfig());
    const std::string saved = h.ConfigBytes();

    ScreenState = ScreenHiScores;
    h.Step();
    h.Click(130, 170); // Clear
    ASSERT_EQ(ScreenState, ScreenClearQuestion);
    h.PressKey(SDLK_RIGHT);
    h.PressKey(SDLK_RETURN); // Cancel
    EXPECT_EQ(ScreenState, ScreenHiScores);
    EXPECT_EQ(HiScoreTable[0].Name, "Zed");

    h.Click(130, 170);
    h.PressKey(SDLK_LEFT);
    h.PressKey(SDLK_RETURN); // Ok
    EXPECT_EQ(ScreenState, ScreenHiScores);
    EXPECT_EQ(HiScoreTable[0].Name, "Anonymous");
    EXPECT_EQ(h.ConfigBytes(), saved) << "clearing alone does not save";

    h.PressKey(SDLK_ESCAPE);
    h.PressKey(SDLK_ESCAPE);
    ASSERT_EQ(ScreenState, ScreenExitQuestion);
    h.PressKey(SDLK_LEFT);
    h.PressKey(SDLK_y);
    EXPECT_TRUE(h.Form().Closed());
    EXPECT_EQ(h.ConfigBytes(), EncodeConfig());
    EXPECT_NE(h.ConfigBytes(), saved);
}

// Enter on the table screen opens the clear question on Cancel: a second Enter keeps the table.
TEST(Menus, TwoEntersOnTheTableScreenKeepTheTable) {
    Harness h;
    GoToMainMenu(h);
    HiScoreTable[0] = THiScores{"Zed", 5000};
    OkCancelQuestion->Choice = true; // as the name entry's Ok leaves it
    ScreenState = ScreenHiScores;
    h.Step();
    h.PressKey(SDLK_RETURN);
    ASSERT_EQ(ScreenState, ScreenClearQuestion);
    h.Step();
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ScreenState, ScreenHiScores);
    EXPECT_EQ(HiScoreTable[0].Name, "Zed");
}

std::vector<uint32_t> BackBufferPicture(const Harness& h) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            pixels.push_back(h.Pixel(x, y));
    return pixels;
}

// The table's text is drawn once and kept; what the screen shows stays what a fresh drawing gives,
// through a table change and a move of the highlight.
TEST(Menus, HighScoreScreenKeepsItsDrawingUntilTheTableOrTheStoreChanges) {
    Harness h;
    GoToMainMenu(h);
    ScreenState = ScreenHiScores;
    h.Step();
    const std::vector<uint32_t> fresh = BackBufferPicture(h);
    h.Step();
    EXPECT_TRUE(BackBufferPicture(h) == fresh) << "the kept drawing is the same picture";

    HiScoreTable[4] = THiScores{"Zed", 950};
    h.Step();
    const std::vector<uint32_t> changed = BackBufferPicture(h);
    EXPECT_FALSE(changed == fresh) << "a new entry shows at once";
    ForgetScreenPictures();
    h.Step();
    EXPECT_TRUE(BackBufferPicture(h) == changed);

    h.MoveMouse(130, 240); // over the online-table button
    h.Step(2);
    EXPECT_GT(PictureCoverage(h, 12, 44, 203), 0.9) << "the highlight is drawn every frame";
}

TEST(Menus, HiScoreTableDrawsTheFirstRowBrightAndTheOthersDim) {
    ResetHighScores();
    auto screen = Surface::Create(800, 600);
    DrawHiScores(*screen);
    auto countInRow = [&](int top, uint32_t colour) {
        int count = 0;
        for (int y = top; y < top + 24; ++y)
            for (int x = 300; x < 800; ++x)
                count += screen->Pixel(x, y) == colour;
        return count;
    };
    EXPECT_GT(countInRow(124, ColourBrightGreen), 0); // headings
    EXPECT_GT(countInRow(160, ColourBrightGreen), 0);
    EXPECT_EQ(countInRow(160, ColourDimGreen), 0);
    for (int row = 2; row <= HiScoreCount; ++row) {
        SCOPED_TRACE(row);
        EXPECT_GT(countInRow(160 + 36 * (row - 1), ColourDimGreen), 0);
        EXPECT_EQ(countInRow(160 + 36 * (row - 1), ColourBrightGreen), 0);
    }
}

// Whatever a damaged Config.cfg held, nothing of a row reaches past its column's divider.
TEST(Menus, HiScoreTableCellsStayInTheirColumns) {
    for (THiScores& entry : HiScoreTable)
        entry = THiScores{"Wwwwwwwwww", INT32_MIN};
    HiScoreTable[9].Score = INT32_MAX;
    auto screen = Surface::Create(800, 600);
    DrawHiScores(*screen);
    ResetHighScores();
    auto inkBetween = [&](int left, int right) {
        int count = 0;
        for (int y = 160; y < 160 + 36 * HiScoreCount; ++y)
            for (int x = left; x < right; ++x)
                count += screen->Pixel(x, y) != 0;
        return count;
    };
    EXPECT_GT(inkBetween(410, 624), 0);
    EXPECT_GT(inkBetween(640, 744), 0);
    EXPECT_EQ(inkBetween(624, 640), 0);
    EXPECT_EQ(inkBetween(744, 800), 0);
}

TEST(Menus, NameEntryOkEntersAndSavesTheResultThenAsksToSend) {
    Harness h;
    OpenNameEntry(h, 5000);
    for (SDL_Keycode key : {SDLK_b, SDLK_e, SDLK_a, SDLK_m})
        h.PressKey(key);
    h.Step();
    EXPECT_EQ(HiScoreNameEdit->Text, "Beam");
    h.PressKey(SDLK_LEFT);
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ScreenState, ScreenSendQuestion);
    EXPECT_EQ(HiScoreTable[0].Name, "Beam");
    EXPECT_EQ(HiScoreTable[0].Score, 5000);
    EXPECT_EQ(h.ConfigBytes(), EncodeConfig()) << "saved before the send question shows";

    h.Step();
    h.PressKey(SDLK_n);
    EXPECT_EQ(ScreenState, ScreenMainMenu) << "N goes to the main menu";

    ScreenState = ScreenSendQuestion;
    h.PressKey(SDLK_RIGHT);
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ScreenState, ScreenHiScores) << "No chosen with Enter goes to the high-score table";
    EXPECT_GT(PictureCoverage(h, 19, 190, 200), 0.9) << "after presenting the waiting notice";
    EXPECT_LT(PictureCoverage(h, 23, 0, 0), 0.5) << "and no stray page button in its corner";
}

// The table that opens after a new result marks its row, and only its row.
TEST(Menus, TableAfterANewResultMarksItsRow) {
    Harness h;
    OpenNameEntry(h, 650); // between 700 and 600: place 5
    h.PressKey(SDLK_a);
    h.PressKey(SDLK_LEFT);
    h.PressKey(SDLK_RETURN);
    ASSERT_EQ(ScreenState, ScreenSendQuestion);
    h.Step();
    h.PressKey(SDLK_n);
    ScreenState = ScreenHiScores;
    h.Step(2);
    for (int row = 0; row < HiScoreCount; ++row) {
        const int frameTop = 157 + 36 * row;
        EXPECT_EQ(h.Pixel(400, frameTop) == ColourLightGreen, row == 4) << "row " << row + 1;
    }
    ResetHighScores(); // clearing forgets the mark
    h.Step(2);
    EXPECT_NE(h.Pixel(400, 157 + 36 * 4), ColourLightGreen);
}

// The name's ink, capitals to descenders, sits in the middle of the focused frame's glass, which
// reaches below the name field's rectangle; the caret stands level with it.
TEST(Menus, NameFieldTextIsCentredInItsFrame) {
    Harness h;
    OpenNameEntry(h, 5000);
    for (SDL_Keycode key : {SDLK_g, SDLK_y, SDLK_p, SDLK_s, SDLK_y})
        h.PressKey(key);
    const TDDEdit& field = *HiScoreNameEdit;
    const int textRight = field.Rect.left + 12 + MeasureFieldText("Gypsy");
    const auto inkRows = [&](int left, int right) {
        int first = -1, last = -1;
        for (int y = field.Rect.top + 5; y < field.Rect.top + 36; ++y)
            for (int x = left; x < right; ++x)
                if (h.Pixel(x, y) == ColourBrightGreen) {
                    if (first < 0) first = y;
                    last = y;
                }
        return std::pair{first, last};
    };
    std::pair<int, int> caret{-1, -1};
    for (int i = 0; i < 100 && caret.first < 0; ++i) { // until the caret blinks on
        h.Step();
        caret = inkRows(textRight + 1, textRight + 8);
    }
    const auto [top, bottom] = inkRows(field.Rect.left + 10, textRight);
    // The glass lies inside the frame's 1-pixel line, 4 pixels in from the picture's 41-pixel height.
    const int glassTop = field.Rect.top + 5, glassBottom = field.Rect.top + 35;
    EXPECT_NEAR(top - glassTop, glassBottom - bottom, 1) << top << ".." << bottom;
    EXPECT_GE(top - glassTop, 3);
    EXPECT_NEAR(caret.first, top, 1);
    EXPECT_NEAR(caret.second, bottom, 1);
}

TEST(Menus, NameEntryCancelLeavesTheTable) {
    Harness h;
    OpenNameEntry(h, 5000);
    const auto table = HiScoreTable;
    h.PressKey(SDLK_RIGHT);
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ScreenState, ScreenMainMenu);
    for (int i = 0; i < HiScoreCount; ++i)
        EXPECT_EQ(HiScoreTable[i].Score, table[i].Score);
}

TEST(Menus, QuitQuestionNoResumesAndYesEndsTheGame) {
    Harness h;
    h.Form().StartGame();
    CurrentGame->Phase = GamePhase::Play;
    h.PressKey(SDLK_ESCAPE);
    ASSERT_EQ(ScreenState, ScreenQuitQuestion);
    h.PressKey(SDLK_n);
    EXPECT_EQ(ScreenState, ScreenGame);
    EXPECT_EQ(CurrentGame->Phase, GamePhase::Play);

    h.PressKey(SDLK_ESCAPE);
    h.PressKey(SDLK_LEFT);
    h.PressKey(SDLK_RETURN);
    EXPECT_EQ(ScreenState, ScreenGame);
    h.Step(); // the game learns in its next frame that the player gave up
    EXPECT_EQ(CurrentGame->Phase, GamePhase::GameOver);
}

} // namespace
