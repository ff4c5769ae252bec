// The high-score screen: the table (drawn by HiScoreTable.cpp), clearing it, the online table, back.
#include "DXCtrl/MenuClick.h"
#include "graphics/Blit.h"
#include "graphics/PackRecords.h"
#include "main/Form.h"
#include "main/MenuWidgets.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/ScreenInput.h"
#include "main/Screens.h"
#include "online/GoToLink.h"
#include "online/WebScores.h"
#include "persistence/HiScores.h"
#include "platform/Input.h"

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

bool DrawHiScoreScreen(const Canvas& canvas, uint32_t) {
    bool drawn = true;
    if (HiScoreStillCurrent()) {
        drawn = canvas.target.BlitWhole(*KeptHiScores.picture, 0, 0, false) == BlitOk;
    } else {
        drawn = DrawHiScoreStill(canvas);
        if (drawn) KeepHiScoreStill(canvas.target);
    }
    HiScoreButtons->Draw(canvas.target);
    return drawn;
}

void HiScoresKey(TForm1& form, uint16_t key) {
    if (key == VkEscape)
        RequestScreen(ScreenMainMenu);
    else
        StepButtons(*HiScoreButtons, key, form);
}

void PointAtHiScores() {
    HiScoreButtons->SelectItemAtMouse();
}

void HiScoresAction(TForm1& form) {
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

const ScreenHome HiScoresHome = {nullptr,         DrawHiScoreScreen, HiScoresKey, nullptr, PadKeys::Menu,
                                 PointAtHiScores, HiScoresAction,    true,        false};
