// The high-score screen: the table (drawn by HiScoreTable.cpp), clearing it, the online table, back,
// and watching the game of a row that has a replay: a click on the row, or Tab (the pad's X) into the
// rows, Up and Down among them, Enter to watch, Escape back to the buttons.
#include "DXCtrl/MenuClick.h"
#include "graphics/Blit.h"
#include "graphics/PackRecords.h"
#include "graphics/Text.h"
#include "main/Form.h"
#include "main/MainState.h"
#include "main/MenuWidgets.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/ScreenInput.h"
#include "main/Screens.h"
#include "main/Watching.h"
#include "online/GoToLink.h"
#include "online/WebScores.h"
#include "persistence/HiScores.h"
#include "platform/Input.h"
#include "platform/PlatformState.h"
#include "replay/ReplayShelf.h"

#include <array>
#include <string>

namespace {

const char* const OnlineTablePath = "/cgi/version.pl?prg=Vantorix&show&type=0";
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

bool DrawHiScoreStill(const Canvas& canvas) {
    const bool drawn = DrawMenuBackground(canvas);
    for (int i = 0; i < RowStripCount; ++i)
        DrawPicture(canvas, InterfaceRecord::HiScoreRowStrip, 250, 120 + 36 * i, false);
    DrawHeaderPair(canvas);
    DrawScreenTitle(canvas, 420, HiScoreTitle);
    DrawPicture(canvas, InterfaceRecord::ClearTableFace, 50, 140);
    DrawPicture(canvas, InterfaceRecord::OnlineTableFace, 50, 210);
    DrawPicture(canvas, InterfaceRecord::BackFace, 121, 460, false);
    DrawHiScores(canvas.target);
    return drawn;
}

// The picture is only a cache of what the screen shows: keeping it changes nothing the screens decide by.
void KeepHiScoreStill(const Surface& drawn) {
    if (!KeptHiScores.picture) KeptHiScores.picture = Surface::Create(ScreenWidth, ScreenHeight);
    if (!KeptHiScores.picture) return;
    KeptHiScores.picture->BlitWhole(drawn, 0, 0, false);
    KeptHiScores.table = HiScoreTable;
    KeptHiScores.storeGeneration = StoreGeneration;
}

const std::string WatchHint = "Tab or the pad's X: choose a game to watch";
const std::string OtherVersionHint = "Recorded by another version: it cannot be watched";
constexpr int WatchHintX = 500, WatchHintY = 521;

bool AnyReplay() {
    for (const TableReplayFile& file : HiScoreReplays.files)
        if (!file.Path.empty()) return true;
    return false;
}

bool HasReplay(int row) {
    return row >= 0 && !HiScoreReplays.files[row].Path.empty();
}

// The rows' replays are looked for again only when the table has changed since.
void FindTableReplays() {
    if (HiScoreReplays.read && SameTable(HiScoreReplays.table, HiScoreTable)) return;
    HiScoreReplays.files = TableReplayFiles();
    HiScoreReplays.table = HiScoreTable;
    HiScoreReplays.read = true;
    if (!HasReplay(WatchRow)) WatchRow = -1;
}

// The next row with a replay after `from` going `step`; -1 past either end.
int NextReplayRow(int from, int step) {
    for (int row = from + step; row >= 0 && row < HiScoreCount; row += step)
        if (HasReplay(row)) return row;
    return -1;
}

void WatchChosenRow(TForm1& form) {
    if (!HasReplay(WatchRow)) return;
    StartWatchingReplay(form, HiScoreReplays.files[WatchRow].Path, ScreenHiScores);
}

// Tab goes through the rows with replays and back to the buttons; true when it handled the key.
bool ReplayRowKey(TForm1& form, uint16_t key) {
    if (key == VkTab) {
        WatchRow = NextReplayRow(WatchRow, 1);
        return true;
    }
    if (WatchRow < 0) return false;
    if (key == VkUp || key == VkDown) {
        const int next = NextReplayRow(WatchRow, key == VkUp ? -1 : 1);
        if (next >= 0) WatchRow = next;
    } else if (key == VkReturn || key == VkSpace) {
        WatchChosenRow(form);
    } else if (key == VkEscape) {
        WatchRow = -1;
    }
    return true;
}

bool DrawHiScoreScreen(const Canvas& canvas, uint32_t) {
    bool drawn = true;
    if (HiScoreStillCurrent()) {
        drawn = canvas.target.BlitWhole(*KeptHiScores.picture, 0, 0, false) == BlitOk;
    } else {
        drawn = DrawHiScoreStill(canvas);
        if (drawn) KeepHiScoreStill(canvas.target);
    }
    HiScoreButtons->Draw(canvas.target);
    DrawReplayMarks(canvas.target, HiScoreReplays.files, WatchRow);
    const bool otherVersion = HasReplay(WatchRow) && HiScoreReplays.files[WatchRow].OtherFormat;
    if (AnyReplay())
        DrawGameText(WatchHintX, WatchHintY, 18, 9, otherVersion ? OtherVersionHint : WatchHint,
                     canvas.target, ColourMediumGreen, AlignCentreTop, false);
    return drawn;
}

void HiScoresKey(TForm1& form, uint16_t key) {
    if (ReplayRowKey(form, key)) return;
    if (key == VkEscape)
        RequestScreen(ScreenMainMenu);
    else
        StepButtons(*HiScoreButtons, key, form);
}

bool PickReplayRow(TForm1& form, PadButton button) {
    return button == PadButton::X && ReplayRowKey(form, VkTab);
}

void PointAtHiScores() {
    HiScoreButtons->SelectItemAtMouse();
    const int row = HiScoreRowAt(MouseX, MouseY);
    WatchRow = HasReplay(row) ? row : -1;
}

void HiScoresAction(TForm1& form) {
    if (WatchRow >= 0 && !HiScoreButtons->MouseOver) {
        WatchChosenRow(form);
        PlayMenuClickDirect();
        return;
    }
    if (!HiScoreButtons->MouseOver) return;
    switch (HiScoreButtons->ItemIndex) {
    case ItemClearTable:
        RequestScreen(ScreenClearQuestion);
        OkCancelQuestion->Choice = false; // a question that destroys opens on the answer that keeps
        FreezePicture(form);
        break;
    case ItemOnlineTable:
        OpenLink(ScoreServer.BaseAddress + OnlineTablePath);
        break;
    case ItemHiScoreBack:
        RequestScreen(ScreenMainMenu);
        break;
    default:
        break;
    }
    PlayMenuClickDirect();
}

} // namespace

void ForgetScreenPictures() {
    ++StoreGeneration;
    KeptHiScores.picture.reset();
}

const ScreenHome HiScoresHome = {
    FindTableReplays, DrawHiScoreScreen, HiScoresKey, PickReplayRow, PadKeys::Menu,
    PointAtHiScores,  HiScoresAction,    true,        false};
