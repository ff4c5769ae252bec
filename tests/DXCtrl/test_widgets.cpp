// The menu widgets on their own: selection rules, pointer and keys, the click on every change, the
// text field and the boss-key names.
#include "DXCtrl/MenuClick.h"
#include "DXCtrl/TDDBtnCollection.h"
#include "DXCtrl/TDDEdit.h"
#include "DXCtrl/TDDOptBtnCollection.h"
#include "DXCtrl/TDDTextBtnCollection.h"
#include "graphics/SpriteStore.h"
#include "graphics/Text.h"
#include "platform/Clock.h"
#include "platform/Input.h"

#include <gtest/gtest.h>

namespace {

// Every interface picture is a small solid block of its own colour, so a pixel tells which one is drawn.
uint32_t PictureColour(int image) {
    return Rgb(10, static_cast<uint32_t>(image), 200);
}

constexpr ButtonSpec ThreeButtons[] = {
    {{100, 100, 200, 140}, 1}, {{100, 140, 200, 180}, 2}, {{100, 180, 200, 220}, 3}};

class Widgets : public ::testing::Test {
  protected:
    void SetUp() override {
        UseTestClock(100000);
        for (int i = 0; i < InterfaceSpriteCount; ++i) {
            InterfaceSprites[i] = Surface::Create(8, 6);
            InterfaceSprites[i]->Fill(PictureColour(i));
            SetSurfaceColourKey(*InterfaceSprites[i], ColourMagenta);
        }
        target = Surface::Create(800, 600);
        PointAt(0, 0);
        MouseActive = false;
    }
    void TearDown() override {
        FreeSpriteStore();
        MouseActive = false;
        UseSystemClock();
    }

    void PointAt(int x, int y) {
        MouseX = x;
        MouseY = y;
    }
    void Frame(TDDBtnCollection& buttons) {
        target->Fill(0);
        buttons.Draw(*target);
    }
    uint32_t At(int x, int y) const { return target->Pixel(x, y); }

    std::unique_ptr<Surface> target;
};

// Counts the clicks played while it lives.
struct ClickCounter {
    uint32_t start = MenuClicksPlayed();
    uint32_t Count() const { return MenuClicksPlayed() - start; }
};

TEST_F(Widgets, ButtonListWrapsAroundBothEndsWithAClickEachTime) {
    TDDBtnCollection buttons(ThreeButtons);
    ClickCounter clicks;
    buttons.Prev();
    EXPECT_EQ(buttons.ItemIndex, 2) << "Prev on the first item selects the last";
    buttons.Next();
    EXPECT_EQ(buttons.ItemIndex, 0) << "Next on the last item selects the first";
    buttons.SetItemIndex(0);
    EXPECT_EQ(clicks.Count(), 3u) << "also setting the same item clicks";
    EXPECT_TRUE(buttons.Buttons[0].Selected);
    EXPECT_FALSE(buttons.Buttons[2].Selected);
}

TEST_F(Widgets, ThePointerSelectsOnlyStrictlyInsideAButton) {
    TDDBtnCollection buttons(ThreeButtons);
    MouseActive = true;
    const struct {
        int x, y;
        int8_t selected;
    } cases[] = {
        {100, 160, 0}, {199, 160, 1}, {150, 140, 1}, {150, 180, 1},
        {150, 219, 2}, {150, 220, 2}, {99, 110, 2},
    };
    buttons.SetItemIndex(0);
    for (const auto& c : cases) {
        PointAt(c.x, c.y);
        Frame(buttons);
        EXPECT_EQ(buttons.ItemIndex, c.selected) << c.x << "," << c.y;
    }
    PointAt(150, 200);
    buttons.CheckMouse();
    EXPECT_TRUE(buttons.MouseOver);
    PointAt(150, 220); // the bottom border
    buttons.CheckMouse();
    EXPECT_FALSE(buttons.MouseOver) << "a click outside every button performs nothing";
}

TEST_F(Widgets, APointerChangeShowsItsHighlightFromTheNextFrameWithOneClick) {
    TDDBtnCollection buttons(ThreeButtons);
    MouseActive = true;
    PointAt(50, 50);
    Frame(buttons);
    EXPECT_EQ(At(100, 100), PictureColour(1)) << "the selected button draws its highlight at its top-left";

    ClickCounter clicks;
    PointAt(150, 190);
    Frame(buttons);
    EXPECT_EQ(buttons.ItemIndex, 2);
    EXPECT_EQ(At(100, 180), 0u) << "no highlight on the frame of the change";
    EXPECT_EQ(At(100, 100), 0u);
    Frame(buttons);
    EXPECT_EQ(At(100, 180), PictureColour(3));
    Frame(buttons);
    EXPECT_EQ(clicks.Count(), 1u);
}

TEST_F(Widgets, AfterAKeyThePointerDoesNotTakeTheSelectionBack) {
    TDDBtnCollection buttons(ThreeButtons);
    PointAt(150, 190);
    MouseActive = false;
    buttons.Next();
    Frame(buttons);
    EXPECT_EQ(buttons.ItemIndex, 1);
    EXPECT_EQ(At(100, 140), PictureColour(2));
}

TEST_F(Widgets, AClickPerformsTheButtonUnderThePointerEvenBeforeTheNextFrame) {
    TDDBtnCollection buttons(ThreeButtons);
    PointAt(150, 190);
    ClickCounter clicks;
    buttons.SelectItemAtMouse();
    EXPECT_EQ(buttons.ItemIndex, 2);
    EXPECT_TRUE(buttons.Buttons[2].Selected);
    EXPECT_FALSE(buttons.Buttons[0].Selected);
    EXPECT_EQ(clicks.Count(), 0u) << "the action that follows plays the click";
    PointAt(10, 10);
    buttons.SelectItemAtMouse();
    EXPECT_EQ(buttons.ItemIndex, 2) << "outside every button nothing changes";
}

// ---- the options list ----

TDDOptBtnCollection MakeOptions() {
    const std::array<TDDButton, TDDOptBtnCollection::ButtonCount> buttons = {
        TDDButton({295, 226, 437, 256}, 36), TDDButton({322, 287, 390, 317}, 35),
        TDDButton({322, 347, 390, 377}, 35), TDDButton({305, 473, 491, 509}, 38),
        TDDButton({614, 533, 730, 584}, 14), TDDButton({305, 533, 491, 569}, 38)};
    return TDDOptBtnCollection(buttons, TRect{305, 409, 677, 450});
}

TEST_F(Widgets, OptionsListStopsAtBothEndsAndStillClicks) {
    TDDOptBtnCollection options = MakeOptions();
    EXPECT_EQ(options.ItemIndex, 5) << "starts on Back";
    ClickCounter clicks;
    options.Down();
    EXPECT_EQ(options.ItemIndex, 5);
    options.Up();
    EXPECT_EQ(options.ItemIndex, 6) << "the controls' row lies between the boss key and Back";
    options.Up();
    EXPECT_EQ(options.ItemIndex, 4);
    options.Down();
    EXPECT_EQ(options.ItemIndex, 6);
    for (int i = 0; i < 7; ++i)
        options.Up();
    EXPECT_EQ(options.ItemIndex, 0);
    EXPECT_EQ(clicks.Count(), 11u);
}

TEST_F(Widgets, OptionsListFollowsThePointerOnlyAfterTheMouseMoved) {
    TDDOptBtnCollection options = MakeOptions();
    PointAt(400, 430); // inside the country field
    MouseActive = true;
    options.MouseMode = false;
    options.Draw(*target);
    EXPECT_EQ(options.ItemIndex, 5);

    options.MouseMode = true;
    ClickCounter clicks;
    options.Draw(*target);
    EXPECT_EQ(options.ItemIndex, 3);
    EXPECT_TRUE(options.Edit.Active) << "the field has the focus while its item is selected";
    EXPECT_EQ(clicks.Count(), 1u);

    options.Up();
    EXPECT_FALSE(options.MouseMode) << "Up and Down hand the list back to the keys";
    options.Draw(*target);
    EXPECT_EQ(options.ItemIndex, 2);
    EXPECT_FALSE(options.Edit.Active);
    EXPECT_TRUE(options.Buttons[2].Selected);
}

TEST_F(Widgets, OptionsClickTestCoversTheButtonsAndTheField) {
    TDDOptBtnCollection options = MakeOptions();
    const struct {
        int x, y;
        bool over;
    } cases[] = {{400, 430, true}, {305, 430, false}, {700, 560, true}, {614, 560, false}, {200, 200, false}};
    for (const auto& c : cases) {
        PointAt(c.x, c.y);
        options.CheckMouse();
        EXPECT_EQ(options.MouseOver, c.over) << c.x << "," << c.y;
    }
}

TEST_F(Widgets, OptionsConfirmSetsTheTriggerThenActs) {
    TDDOptBtnCollection options = MakeOptions();
    bool sawTrigger = false;
    options.Confirm([&] { sawTrigger = options.MouseOver; });
    EXPECT_TRUE(sawTrigger);
}

// ---- two-way questions ----

TEST_F(Widgets, TwoWayChoiceFollowsTheRestingPointerWhateverWasUsedLast) {
    TDDTextBtnCollection question({280, 340, 352, 380}, {460, 340, 510, 380}, "Yes", "No");
    EXPECT_TRUE(question.Choice);
    MouseActive = false;
    PointAt(480, 360);
    ClickCounter clicks;
    question.Draw(*target);
    EXPECT_FALSE(question.Choice);
    question.SetChoice(true);
    EXPECT_TRUE(question.Choice);
    question.Draw(*target);
    EXPECT_FALSE(question.Choice) << "the pointer on No takes the choice back on the next frame";
    EXPECT_EQ(clicks.Count(), 3u);

    question.SetChoice(false);
    EXPECT_EQ(clicks.Count(), 4u) << "SetChoice clicks also when nothing changes";
    PointAt(460, 360); // left border of No
    question.CheckMouse();
    EXPECT_FALSE(question.MouseOver);
    PointAt(300, 360);
    question.CheckMouse();
    EXPECT_TRUE(question.MouseOver);
}

// ---- the text field ----

TDDEdit MakeField(const TRect& rect = {236, 280, 564, 314}) {
    TDDEdit field;
    field.Rect = rect;
    field.Active = true;
    field.Editing = true;
    return field;
}

void Type(TDDEdit& field, const std::string& keys) {
    for (char c : keys)
        field.KeyPress(c);
}

TEST_F(Widgets, TypedLettersReadAsOneCapitalAndSmallLetters) {
    TDDEdit field = MakeField();
    Type(field, "BEAM");
    field.Draw(*target);
    EXPECT_EQ(field.Text, "Beam");
    EXPECT_EQ(field.Length, 4);
    field.SetText("mIXED");
    field.Draw(*target);
    EXPECT_EQ(field.Text, "Mixed");
}

TEST_F(Widgets, TextFieldTakesTenLettersAndIgnoresBackspaceWhenEmpty) {
    TDDEdit field = MakeField(TRect{0, 0, 2000, 34});
    field.KeyPress(TDDEdit::BackspaceChar);
    EXPECT_EQ(field.Length, 0);
    Type(field, "ABCDEFGHIJK");
    EXPECT_EQ(field.Text, "ABCDEFGHIJ") << "the eleventh letter is ignored";
    field.KeyPress('0');
    EXPECT_EQ(field.Length, 10);
    field.KeyPress(TDDEdit::BackspaceChar);
    EXPECT_EQ(field.Text, "ABCDEFGHI");
    EXPECT_EQ(field.Length, 9);
}

TEST_F(Widgets, ALetterThatWouldReachTheRightEdgeIsRefused) {
    const int one = MeasureFieldText("W");
    const int two = MeasureFieldText("WW");
    ASSERT_LT(one, two);
    TDDEdit field = MakeField(TRect{0, 0, two + 5, 34}); // "WW" would end exactly 5 pixels from the edge
    Type(field, "WW");
    EXPECT_EQ(field.Text, "W");
}

TEST_F(Widgets, CaretBlinksAfterMoreThan300MsAndShowsOnlyWhileEditingWithFocus) {
    TDDEdit field = MakeField();
    Type(field, "BEAM");
    field.Draw(*target); // the first draw after a long pause flips the caret at once
    EXPECT_TRUE(field.CaretOn);
    AdvanceTestClock(300);
    field.Draw(*target);
    EXPECT_TRUE(field.CaretOn) << "300 ms is not more than 300 ms";
    AdvanceTestClock(1);
    field.Draw(*target);
    EXPECT_FALSE(field.CaretOn);

    const int lineTop = EditTextTopFor(field.Rect.top + 3, 32, 20); // the stand-in frame is 6 pixels tall
    const InkRows ink = EditTextInk(32, 20);
    const int caretY = lineTop + (ink.top + ink.bottom) / 2;
    auto caretColumn = [&](const std::string& text) { return field.Rect.left + MeasureFieldText(text) + 15; };
    AdvanceTestClock(301);
    target->Fill(0);
    field.Draw(*target);
    ASSERT_TRUE(field.CaretOn);
    EXPECT_EQ(At(caretColumn("Beam"), caretY), ColourBrightGreen);
    // The caret stands exactly as tall as the line's ink, capitals' top to descenders' bottom.
    EXPECT_EQ(At(caretColumn("Beam"), lineTop + ink.top), ColourBrightGreen);
    EXPECT_EQ(At(caretColumn("Beam"), lineTop + ink.bottom - 1), ColourBrightGreen);
    EXPECT_NE(At(caretColumn("Beam"), lineTop + ink.top - 1), ColourBrightGreen);
    EXPECT_NE(At(caretColumn("Beam"), lineTop + ink.bottom), ColourBrightGreen);

    field.KeyPress(TDDEdit::BackspaceChar);
    target->Fill(0);
    field.Draw(*target);
    EXPECT_EQ(field.Text, "Bea");
    EXPECT_EQ(At(caretColumn("Bea"), caretY), ColourBrightGreen) << "the caret moved left with the text";

    field.Editing = false;
    AdvanceTestClock(301);
    field.Draw(*target);
    AdvanceTestClock(301);
    target->Fill(0);
    field.Draw(*target);
    ASSERT_TRUE(field.CaretOn);
    EXPECT_NE(At(caretColumn("Bea"), caretY), ColourBrightGreen) << "no caret while not editing";
}

TEST_F(Widgets, UnfocusedFieldFrameMovesFourPixelsInAndIsOpaque) {
    // A magenta pixel in the corner of both frames: only the keyed (focused) frame leaves it out.
    InterfaceSprites[8]->SetPixel(0, 0, ColourMagenta);
    InterfaceSprites[37]->SetPixel(0, 0, ColourMagenta);
    TDDEdit field = MakeField(TRect{100, 100, 500, 140});
    field.Draw(*target);
    EXPECT_EQ(At(100, 100), 0u);
    EXPECT_EQ(At(101, 100), PictureColour(37));

    field.Active = false;
    target->Fill(0);
    field.Draw(*target);
    EXPECT_EQ(At(101, 100), 0u);
    EXPECT_EQ(At(104, 104), ColourMagenta);
    EXPECT_EQ(At(105, 104), PictureColour(8));
}

} // namespace
