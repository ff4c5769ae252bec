#include "main/ControlsScreen.h"

#include "DXCtrl/HitTest.h"
#include "DXCtrl/MenuClick.h"
#include "graphics/PackRecords.h"
#include "graphics/Text.h"
#include "main/ControlsText.h"
#include "main/Form.h"
#include "main/MainState.h"
#include "main/MenuWidgets.h"
#include "main/Notice.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/ScreenInput.h"
#include "main/Screens.h"
#include "persistence/ControlsFile.h"
#include "platform/Gamepad.h"
#include "platform/Input.h"
#include "platform/PlatformState.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

// ---- Where everything is ----------------------------------------------------------------------------

const std::string ControlsTitle = "Controls";
const std::string KeysHeading = "Keys";
const std::string PadHeading = "Gamepad";
const std::string DeadZoneLabel = "Stick dead zone";
const std::string DefaultsCaption = "Defaults";
const std::string WaitingText = "...";
const std::string EmptySlotText = "-";
const std::array<std::string, GameControlCount> ControlLabels = [] {
    std::array<std::string, GameControlCount> labels;
    std::copy(GameControlNames.begin(), GameControlNames.end(), labels.begin());
    return labels;
}();

// The value faces of the options screen (132 x 26), their highlight 5 px left and 4 px above.
constexpr std::array<int, ColumnCount> FaceLeft = {210, 354, 504, 648};
constexpr int FaceWidth = 132;
constexpr int FaceHeight = 26;
constexpr int HighlightLeft = 5;
constexpr int HighlightTop = 4;
constexpr int HighlightWidth = 142;
constexpr int HighlightHeight = 30;
constexpr int FirstRowTop = 150;
constexpr int RowStep = 36;
constexpr int LabelX = 24;
constexpr int HeadingY = 118;
constexpr int HintY = 478;
constexpr int RefusalY = 498;
constexpr int DefaultsLeft = 24; // clear of where the options screen's controls row was clicked
constexpr int DefaultsTop = 546;
constexpr int ValueHeight = 18;
constexpr int ValueWidth = 10;
constexpr int LabelHeight = 18;
constexpr int LabelWidth = 11;
constexpr int HintHeight = 14;
constexpr int HintWidth = 9;
constexpr int HintRight = 790;
constexpr int QuestionPanelX = 190;
constexpr int QuestionCentreX = 400;
constexpr int QuestionLineY[2] = {250, 282};
constexpr int QuestionHeight = 22;
constexpr int QuestionWidth = 13;
constexpr int QuestionRoom = 390; // inside the panel's frame

TRect FaceRect(int row, int column) {
    return MakeRect(FaceLeft[column], FirstRowTop + RowStep * row, FaceWidth, FaceHeight);
}
TRect HighlightRect(int left, int top) {
    return MakeRect(left - HighlightLeft, top - HighlightTop, HighlightWidth, HighlightHeight);
}
TRect DefaultsRect() {
    return HighlightRect(DefaultsLeft, DefaultsTop);
}
const TRect& BackRect() {
    return OptionItemRects[ItemOptionsBack];
}

ControlsCursor& Cursor() {
    return ControlsScreenCursor;
}
bool Asking() {
    return Cursor().Waiting == ControlsWait::SwapAnswer || Cursor().Waiting == ControlsWait::DefaultsAnswer;
}
bool OnControlRow() {
    return Cursor().Row < DeadZoneRow;
}
GameControl SelectedControl() {
    return static_cast<GameControl>(Cursor().Row);
}
bool OnPadColumn() {
    return Cursor().Column >= FirstPadColumn;
}
size_t SelectedSlot() {
    return static_cast<size_t>(Cursor().Column % FirstPadColumn);
}
// The quit question's first key is Escape, always: its box cannot be chosen.
bool IsEscapesPlace(int row, int column) {
    return row == static_cast<int>(GameControl::QuitQuestion) && column == 0;
}

// ---- The texts, made again only when what they say changes ------------------------------------------

struct FittedText {
    std::string text;
    int width = ValueWidth;
};

struct ScreenTexts {
    ControlBindings controls;
    PadLabels labels = PadLabels::Common;
    ControlsWait waiting = ControlsWait::Nothing;
    bool padOpen = false;
    GameControl control = GameControl::Left;
    bool made = false;
    std::array<std::array<FittedText, ColumnCount>, GameControlCount> cells;
    FittedText deadZone;
    std::array<FittedText, 2> hint;
    std::array<FittedText, 2> question;
};
ScreenTexts texts;

FittedText Fitted(std::string text, int height, int width, int room) {
    const int fitting = WidthToFit(height, width, text, room);
    return FittedText{std::move(text), fitting};
}

std::string SlotText(const ControlBinding& binding, int column, PadLabels labels) {
    const size_t slot = static_cast<size_t>(column % FirstPadColumn);
    const std::string text =
        column < FirstPadColumn ? KeySlotText(binding, slot) : PadSlotText(binding, slot, labels);
    return text.empty() ? EmptySlotText : text;
}

std::string DeadZoneText(uint16_t deadZone) {
    return "<  " + std::to_string((deadZone * 100 + 16383) / 32767) + "%  >";
}

std::string ControlName(GameControl control) {
    return std::string(GameControlNames[static_cast<size_t>(control)]);
}

std::array<std::string, 2> HintLines(ControlsWait waiting, GameControl control, PadLabels labels,
                                     bool padOpen) {
    auto pad = [&](PadButton button) { return Quoted(std::string(PadButtonName(button, labels))); };
    switch (waiting) {
    case ControlsWait::Key:
        return {"Press the new key for " + ControlName(control) + ". \"Esc\" or a click elsewhere keeps it,",
                "a click on it takes its key away" +
                    (padOpen ? ", " + pad(PadButton::B) + " keeps it." : ".")};
    case ControlsWait::PadButton:
        return {"Press the pad button for " + ControlName(control) +
                    ". \"Esc\" or a click elsewhere keeps it,",
                "a click on it takes the button away."};
    case ControlsWait::Nothing:
    case ControlsWait::SwapAnswer:
    case ControlsWait::DefaultsAnswer:
        break;
    }
    return {"\"Enter\" or a click: change.  \"Delete\": clear.  \"Esc\": back.",
            padOpen ? "Gamepad: " + pad(PadButton::A) + " change, " + pad(PadButton::X) + " clear, " +
                          pad(PadButton::B) + " back."
                    : std::string()};
}

// "\"Space\" is used by Special weapon." and what a Yes does with it; or whether to give back the table.
std::array<std::string, 2> QuestionLines(const ControlBindings& controls, const ControlsCursor& cursor,
                                         PadLabels labels) {
    if (cursor.Waiting == ControlsWait::DefaultsAnswer)
        return {"Every key and pad button", "back as at the first start?"};
    const bool key = cursor.OfferedKey != NoKey;
    const auto holder =
        key ? FindKey(controls, cursor.OfferedKey)
            : (cursor.OfferedButton ? FindPadButton(controls, *cursor.OfferedButton) : std::nullopt);
    if (!holder) return {};
    const std::string offered =
        Quoted(key ? KeyLabel(cursor.OfferedKey) : std::string(PadButtonName(*cursor.OfferedButton, labels)));
    const ControlBinding& here = controls[SelectedControl()];
    const std::string mine =
        key ? KeySlotText(here, SelectedSlot()) : PadSlotText(here, SelectedSlot(), labels);
    return {offered + " is used by " + ControlName(holder->Control) + ".",
            mine.empty() ? "Move it to " + ControlName(SelectedControl()) + "?"
                         : "Swap, so it gets " + Quoted(mine) + "?"};
}

void RefreshTexts() {
    const ControlsCursor& cursor = Cursor();
    const PadLabels labels = OpenPadLabels();
    const bool padOpen = OpenGamepadCount() > 0;
    const GameControl control = OnControlRow() ? SelectedControl() : GameControl::Left;
    if (texts.made && texts.controls == PlayerControls && texts.labels == labels &&
        texts.waiting == cursor.Waiting && texts.padOpen == padOpen && texts.control == control)
        return;
    texts = ScreenTexts{PlayerControls, labels, cursor.Waiting, padOpen, control, true, {}, {}, {}, {}};
    for (size_t row = 0; row < GameControlCount; ++row)
        for (int column = 0; column < ColumnCount; ++column)
            texts.cells[row][column] = Fitted(SlotText(PlayerControls.Controls[row], column, labels),
                                              ValueHeight, ValueWidth, FaceWidth - 8);
    texts.deadZone = Fitted(DeadZoneText(PlayerControls.PadDeadZone), ValueHeight, ValueWidth, FaceWidth - 8);
    const auto hint = HintLines(cursor.Waiting, control, labels, padOpen);
    const auto question = QuestionLines(PlayerControls, cursor, labels);
    for (size_t i = 0; i < 2; ++i) {
        texts.hint[i] = Fitted(hint[i], HintHeight, HintWidth, HintRight - LabelX);
        texts.question[i] = Fitted(question[i], QuestionHeight, QuestionWidth, QuestionRoom);
    }
}

// ---- Drawing ------------------------------------------------------------------------------------------

void DrawCentred(const Canvas& canvas, int centreX, int y, int height, const FittedText& text,
                 uint32_t colour) {
    DrawGameText(centreX, y, height, text.width, text.text, canvas.target, colour, AlignCentreTop, true);
}

// A value face with its text, highlighted when chosen.
void DrawValueFace(const Canvas& canvas, int left, int top, const FittedText& text, bool chosen,
                   uint32_t colour) {
    if (chosen)
        DrawPicture(canvas, InterfaceRecord::DisplayHighlight, left - HighlightLeft, top - HighlightTop);
    else
        DrawPicture(canvas, InterfaceRecord::DisplayFace, left, top);
    DrawCentred(canvas, left + FaceWidth / 2, top + 4, ValueHeight, text, colour);
}

void DrawLabel(const Canvas& canvas, int y, const std::string& text) {
    DrawMenuText(LabelX, y + 4, LabelHeight, LabelWidth, text, canvas.target, ColourBrightGreen, false);
}

bool Chosen(int row, int column) {
    const ControlsCursor& cursor = Cursor();
    return !Asking() && cursor.Row == row && cursor.Column == column;
}

void DrawControlRows(const Canvas& canvas) {
    const ControlsCursor& cursor = Cursor();
    for (int row = 0; row < static_cast<int>(GameControlCount); ++row) {
        const int top = FirstRowTop + RowStep * row;
        DrawLabel(canvas, top, ControlLabels[row]);
        for (int column = 0; column < ColumnCount; ++column) {
            const bool waiting = Chosen(row, column) && (cursor.Waiting == ControlsWait::Key ||
                                                         cursor.Waiting == ControlsWait::PadButton);
            static const FittedText waitingText{WaitingText, ValueWidth};
            const FittedText& text = waiting ? waitingText : texts.cells[row][column];
            const uint32_t colour = IsEscapesPlace(row, column)  ? ColourMediumGreen
                                    : text.text == EmptySlotText ? ColourDimGreen
                                                                 : ColourBrightGreen;
            DrawValueFace(canvas, FaceLeft[column], top, text, Chosen(row, column), colour);
        }
    }
}

void DrawDeadZoneAndButtons(const Canvas& canvas) {
    const ControlsCursor& cursor = Cursor();
    const int top = FirstRowTop + RowStep * DeadZoneRow;
    DrawLabel(canvas, top, DeadZoneLabel);
    const bool onDeadZone = !Asking() && cursor.Row == DeadZoneRow;
    DrawValueFace(canvas, FaceLeft[FirstPadColumn], top, texts.deadZone, onDeadZone, ColourBrightGreen);
    const bool onButtons = !Asking() && cursor.Row == ButtonsRow;
    static const FittedText defaults{DefaultsCaption, ValueWidth};
    DrawValueFace(canvas, DefaultsLeft, DefaultsTop, defaults, onButtons && !OnPadColumn(),
                  ColourBrightGreen);
    DrawPicture(canvas, InterfaceRecord::BackFace, BackRect().left + 7, BackRect().top + 7);
    if (onButtons && OnPadColumn())
        DrawPicture(canvas, InterfaceRecord::BackHighlight, BackRect().left, BackRect().top);
}

void DrawHintAndRefusal(const Canvas& canvas) {
    for (size_t i = 0; i < texts.hint.size(); ++i)
        DrawMenuText(LabelX, HintY + 18 * static_cast<int>(i), HintHeight, texts.hint[i].width,
                     texts.hint[i].text, canvas.target, ColourMediumGreen, false);
    if (!Cursor().Refusal.empty())
        DrawMenuText(LabelX, RefusalY, HintHeight, HintWidth, Cursor().Refusal, canvas.target, ColourRed,
                     false);
}

void DrawQuestion(const Canvas& canvas) {
    DrawPanel(canvas, QuestionPanelX);
    for (size_t i = 0; i < texts.question.size(); ++i)
        DrawCentred(canvas, QuestionCentreX, QuestionLineY[i], QuestionHeight, texts.question[i],
                    ColourDimGreen);
    YesNoQuestion->Draw(canvas.target);
}

bool DrawControls(const Canvas& canvas, uint32_t) {
    const bool drawn = DrawMenuBackground(canvas);
    DrawHeaderPair(canvas);
    DrawScreenTitle(canvas, 420, ControlsTitle);
    DrawGameText((FaceLeft[0] + FaceLeft[1] + FaceWidth) / 2, HeadingY, LabelHeight, LabelWidth, KeysHeading,
                 canvas.target, ColourBrightGreen, AlignCentreTop, false);
    DrawGameText((FaceLeft[2] + FaceLeft[3] + FaceWidth) / 2, HeadingY, LabelHeight, LabelWidth, PadHeading,
                 canvas.target, ColourBrightGreen, AlignCentreTop, false);
    DrawControlRows(canvas);
    DrawDeadZoneAndButtons(canvas);
    if (Asking())
        DrawQuestion(canvas);
    else
        DrawHintAndRefusal(canvas);
    return drawn;
}

// ---- Changes ------------------------------------------------------------------------------------------

void SaveControls() {
    if (!SaveControlBindings(PlayerControls, ControlsPath)) ShowNotice(ControlsNotSavedNotice);
}

void Refuse(std::string why) {
    Cursor().Refusal = std::move(why);
}

void StopWaiting() {
    ControlsCursor& cursor = Cursor();
    cursor.Waiting = ControlsWait::Nothing;
    cursor.OfferedKey = NoKey;
    cursor.OfferedButton.reset();
}

void ClearSelectedSlot() {
    Cursor().Refusal.clear();
    if (!OnControlRow()) return;
    if (OnPadColumn()) {
        ClearPadButton(PlayerControls, SelectedControl(), SelectedSlot());
    } else if (!ClearKey(PlayerControls, SelectedControl(), SelectedSlot())) {
        Refuse(IsEscapesPlace(Cursor().Row, Cursor().Column)
                   ? "\"Escape\" always asks to quit."
                   : ControlName(SelectedControl()) + " keeps at least one key.");
        return;
    }
    SaveControls();
    PlayMenuClickDirect();
}

void StepDeadZone(int steps) {
    const int zone = std::clamp<int>(PlayerControls.PadDeadZone + steps * DeadZoneStep, 0, MaxPadDeadZone);
    if (zone == PlayerControls.PadDeadZone) return;
    PlayerControls.PadDeadZone = static_cast<uint16_t>(zone);
    SaveControls();
    PlayMenuClickDirect();
}

// "Defaults" asks first, opening on "No": a whole table of choices is not thrown away by a slip.
void AskDefaults() {
    Cursor().Waiting = ControlsWait::DefaultsAnswer;
    YesNoQuestion->Choice = false;
    PlayMenuClickDirect();
}

void LeaveForOptions() {
    StopWaiting();
    Cursor().Refusal.clear();
    RequestScreen(ScreenOptions);
    PlayMenuClickDirect();
}

// The question whether the key or button pressed may be taken from the control that holds it; it
// opens on "Yes", the answer a player who pressed it on purpose wants.
void AskSwap(uint8_t key, std::optional<PadButton> button) {
    ControlsCursor& cursor = Cursor();
    cursor.Waiting = ControlsWait::SwapAnswer;
    cursor.OfferedKey = key;
    cursor.OfferedButton = button;
    YesNoQuestion->Choice = true;
}

// A key pressed while a key box waits: taken at once when free, offered as a swap when another control
// holds it, refused when taking it would leave that control without a key. (Escape never comes here:
// it keeps the box as it was.)
void OfferKey(uint8_t scanCode) {
    ControlsCursor& cursor = Cursor();
    const GameControl control = SelectedControl();
    const size_t slot = SelectedSlot();
    const auto holder = FindKey(PlayerControls, scanCode);
    StopWaiting();
    cursor.Refusal.clear();
    if (!holder || holder->Control == control) {
        if (PlaceKey(PlayerControls, control, slot, scanCode)) SaveControls();
        PlayMenuClickDirect();
        return;
    }
    ControlBindings trial = PlayerControls;
    if (!PlaceKey(trial, control, slot, scanCode)) {
        Refuse(Quoted(KeyLabel(scanCode)) + " is the only key of " + ControlName(holder->Control) +
               ": give it another first.");
    } else {
        AskSwap(scanCode, std::nullopt);
    }
    PlayMenuClickDirect();
}

void OfferPadButton(PadButton button) {
    ControlsCursor& cursor = Cursor();
    const auto holder = FindPadButton(PlayerControls, button);
    StopWaiting();
    cursor.Refusal.clear();
    if (!holder || holder->Control == SelectedControl()) {
        PlacePadButton(PlayerControls, SelectedControl(), SelectedSlot(), button);
        SaveControls();
    } else {
        AskSwap(NoKey, button);
    }
    PlayMenuClickDirect();
}

void Answer(bool yes) {
    ControlsCursor& cursor = Cursor();
    if (yes && cursor.Waiting == ControlsWait::DefaultsAnswer) {
        PlayerControls = DefaultControlBindings();
        SaveControls();
    } else if (yes && cursor.OfferedKey != NoKey) {
        if (PlaceKey(PlayerControls, SelectedControl(), SelectedSlot(), cursor.OfferedKey)) SaveControls();
    } else if (yes && cursor.OfferedButton) {
        PlacePadButton(PlayerControls, SelectedControl(), SelectedSlot(), *cursor.OfferedButton);
        SaveControls();
    }
    StopWaiting();
    PlayMenuClickDirect();
}

// Enter, Space, the pad's A or a click on the chosen box.
void PerformSelected() {
    ControlsCursor& cursor = Cursor();
    cursor.Refusal.clear();
    if (cursor.Row == ButtonsRow) {
        if (OnPadColumn())
            LeaveForOptions();
        else
            AskDefaults();
        return;
    }
    if (!OnControlRow()) return;
    if (IsEscapesPlace(cursor.Row, cursor.Column)) {
        Refuse("\"Escape\" always asks to quit; the second box takes another key.");
        return;
    }
    cursor.Waiting = OnPadColumn() ? ControlsWait::PadButton : ControlsWait::Key;
    PlayMenuClickDirect();
}

// ---- Moving about -------------------------------------------------------------------------------------

void MoveRow(int step) {
    ControlsCursor& cursor = Cursor();
    cursor.Row = static_cast<int8_t>(std::clamp(cursor.Row + step, 0, static_cast<int>(ButtonsRow)));
    PlayMenuClickDirect();
}

void MoveSideways(int step) {
    ControlsCursor& cursor = Cursor();
    if (cursor.Row == DeadZoneRow) return StepDeadZone(step);
    if (cursor.Row == ButtonsRow)
        cursor.Column = step < 0 ? 0 : FirstPadColumn; // "Defaults" or Back
    else
        cursor.Column = static_cast<int8_t>(std::clamp(cursor.Column + step, 0, ColumnCount - 1));
    PlayMenuClickDirect();
}

struct CellAt {
    int8_t row;
    int8_t column;
};

// The box under the pointer, if any.
std::optional<CellAt> CellUnderPointer() {
    for (int row = 0; row < static_cast<int>(GameControlCount); ++row)
        for (int column = 0; column < ColumnCount; ++column) {
            const TRect face = FaceRect(row, column);
            if (PointStrictlyInRect(HighlightRect(face.left, face.top), MouseX, MouseY))
                return CellAt{static_cast<int8_t>(row), static_cast<int8_t>(column)};
        }
    const TRect deadZone = FaceRect(DeadZoneRow, FirstPadColumn);
    if (PointStrictlyInRect(HighlightRect(deadZone.left, deadZone.top), MouseX, MouseY))
        return CellAt{DeadZoneRow, FirstPadColumn};
    if (PointStrictlyInRect(DefaultsRect(), MouseX, MouseY)) return CellAt{ButtonsRow, 0};
    if (PointStrictlyInRect(BackRect(), MouseX, MouseY)) return CellAt{ButtonsRow, FirstPadColumn};
    return std::nullopt;
}

bool SelectCellUnderPointer() {
    const auto cell = CellUnderPointer();
    if (!cell) return false;
    ControlsCursor& cursor = Cursor();
    if (cursor.Row != cell->row || (cell->row != DeadZoneRow && cursor.Column != cell->column))
        PlayMenuClickAtPointer();
    cursor.Row = cell->row;
    if (cell->row != DeadZoneRow) cursor.Column = cell->column;
    return true;
}

// ---- The screen's home ---------------------------------------------------------------------------------

// The pointer chooses the box it rests on, as the menus' lists follow it, once it has moved.
void StepControls() {
    ControlsCursor& cursor = Cursor();
    if (MouseX != cursor.OpenedAtX || MouseY != cursor.OpenedAtY) cursor.PointerMoved = true;
    if (cursor.PointerMoved && MouseActive && cursor.Waiting == ControlsWait::Nothing)
        SelectCellUnderPointer();
    RefreshTexts();
}

void ControlsKey(TForm1& form, uint16_t key) {
    switch (Cursor().Waiting) {
    case ControlsWait::SwapAnswer:
    case ControlsWait::DefaultsAnswer:
        if (IsEscapeOrN(key))
            Answer(false);
        else
            HandleQuestionKey(form, *YesNoQuestion, key, true);
        return;
    case ControlsWait::Key:
        // Keys with a place on the keyboard were taken by ControlsKeyAtPlace; this one has none.
        if (key == VkEscape)
            StopWaiting();
        else
            Refuse("That key cannot be read during play; please choose another.");
        return;
    case ControlsWait::PadButton:
        if (key == VkEscape) StopWaiting();
        return;
    case ControlsWait::Nothing:
        break;
    }
    switch (key) {
    case VkUp:
        return MoveRow(-1);
    case VkDown:
        return MoveRow(1);
    case VkLeft:
        return MoveSideways(-1);
    case VkRight:
        return MoveSideways(1);
    case VkReturn:
    case VkSpace:
        return PerformSelected();
    case VkDelete:
    case VkBack:
        return ClearSelectedSlot();
    case VkEscape:
        return LeaveForOptions();
    default:
        return;
    }
}

// While a key box waits, the key is taken by its place on the keyboard; Escape keeps the box as it was.
bool ControlsKeyAtPlace(TForm1&, uint8_t scanCode) {
    if (Cursor().Waiting != ControlsWait::Key) return false;
    if (scanCode == EscapeScanCode)
        StopWaiting();
    else
        OfferKey(scanCode);
    return true;
}

// A pad box takes whatever button comes next; a key box waits for a key, and B or Back keep it; X
// clears the chosen box. Otherwise the pad works the screen as it works the menus.
bool ControlsPad(TForm1&, PadButton button) {
    switch (Cursor().Waiting) {
    case ControlsWait::PadButton:
        OfferPadButton(button);
        return true;
    case ControlsWait::Key:
        if (button == PadButton::B || button == PadButton::Back) StopWaiting();
        return true;
    case ControlsWait::SwapAnswer:
    case ControlsWait::DefaultsAnswer:
        return false;
    case ControlsWait::Nothing:
        break;
    }
    if (button != PadButton::X) return false;
    ClearSelectedSlot();
    return true;
}

void PointAtControls() {
    if (Asking())
        PointAtYesOrNo();
    else if (Cursor().Waiting == ControlsWait::Nothing)
        SelectCellUnderPointer();
}

// A click: on a waiting box it takes its key or button away, anywhere else it keeps the box as it was;
// on the dead zone's left or right half it steps the dead zone.
void ControlsClick(TForm1&) {
    ControlsCursor& cursor = Cursor();
    if (Asking()) {
        if (YesNoQuestion->MouseOver) Answer(YesNoQuestion->Choice);
        return;
    }
    const auto cell = CellUnderPointer();
    if (cursor.Waiting != ControlsWait::Nothing) {
        StopWaiting();
        if (cell && cell->row == cursor.Row && cell->column == cursor.Column) ClearSelectedSlot();
        return;
    }
    if (!cell) return;
    if (cell->row == DeadZoneRow) {
        const TRect face = FaceRect(DeadZoneRow, FirstPadColumn);
        StepDeadZone(MouseX < face.left + FaceWidth / 2 ? -1 : 1);
        return;
    }
    PerformSelected();
}

} // namespace

void OpenControlsScreen() {
    StopWaiting();
    ControlsCursor& cursor = Cursor();
    cursor.Refusal.clear();
    cursor.OpenedAtX = MouseX;
    cursor.OpenedAtY = MouseY;
    cursor.PointerMoved = false;
    RequestScreen(ScreenControls);
}

void ResetControlsCursor() {
    ControlsScreenCursor = ControlsCursor{};
    texts = ScreenTexts{};
}

const ScreenHome ControlsHome = {StepControls,  DrawControls,      ControlsKey,   ControlsPad,
                                 PadKeys::Menu, PointAtControls,   ControlsClick, true,
                                 false,         ControlsKeyAtPlace};
