#include "main/MenuWidgets.h"
#include "graphics/PackRecords.h"

#include "core/ScreenState.h"
#include "main/ScreenHome.h"
#include "persistence/ConfigFile.h"
#include "persistence/Options.h"
#include "replay/ReplayShelf.h"

std::unique_ptr<TDDBtnCollection> MainMenu;
std::unique_ptr<TDDBtnCollection> HiScoreButtons;
std::unique_ptr<TDDBtnCollection> PageButtons;
std::unique_ptr<TDDOptBtnCollection> OptionsMenu;
std::unique_ptr<TDDTextBtnCollection> YesNoQuestion;
std::unique_ptr<TDDTextBtnCollection> OkCancelQuestion;
std::unique_ptr<TDDEdit> HiScoreNameEdit;

namespace {

constexpr ButtonSpec MainMenuItems[] = {
    {{470, 337, 786, 375}, InterfaceRecord::FirstMainMenuHighlight},
    {{470, 376, 786, 413}, InterfaceRecord::FirstMainMenuHighlight + 1},
    {{470, 415, 786, 451}, InterfaceRecord::FirstMainMenuHighlight + 2},
    {{470, 452, 786, 491}, InterfaceRecord::FirstMainMenuHighlight + 3},
    {{470, 492, 786, 532}, InterfaceRecord::FirstMainMenuHighlight + 4},
    {{470, 533, 786, 573}, InterfaceRecord::FirstMainMenuHighlight + 5},
};
constexpr ButtonSpec HiScoreItems[] = {{{43, 133, 230, 208}, InterfaceRecord::ClearTableHighlight},
                                       {{44, 203, 229, 279}, InterfaceRecord::OnlineTableHighlight},
                                       {{114, 453, 230, 504}, InterfaceRecord::BackHighlight}};
constexpr ButtonSpec PageItems[] = {{{434, 523, 550, 574}, InterfaceRecord::PreviousHighlight},
                                    {{544, 523, 660, 574}, InterfaceRecord::NextHighlight},
                                    {{653, 523, 769, 574}, InterfaceRecord::BackHighlight}};
// Highlights of the options items that are buttons (0, 1, 2, 4, 5, 6); the controls' row has the boss
// key's face.
constexpr uint8_t OptionImages[] = {InterfaceRecord::DisplayHighlight, InterfaceRecord::OnOffHighlight,
                                    InterfaceRecord::OnOffHighlight,   InterfaceRecord::BossKeyHighlight,
                                    InterfaceRecord::BackHighlight,    InterfaceRecord::BossKeyHighlight};

constexpr TRect YesRect{280, 340, 352, 380};
constexpr TRect NoRect{460, 340, 510, 380};
constexpr TRect OkRect{280, 340, 330, 380};
constexpr TRect CancelRect{420, 340, 540, 380};
constexpr TRect NameFieldRect{236, 280, 564, 314};

std::unique_ptr<TDDOptBtnCollection> MakeOptionsMenu() {
    const auto& r = OptionItemRects;
    const std::array<TDDButton, TDDOptBtnCollection::ButtonCount> buttons = {
        TDDButton(r[ItemDisplay], OptionImages[0]),     TDDButton(r[ItemMusic], OptionImages[1]),
        TDDButton(r[ItemSound], OptionImages[2]),       TDDButton(r[ItemBossKey], OptionImages[3]),
        TDDButton(r[ItemOptionsBack], OptionImages[4]), TDDButton(r[ItemControls], OptionImages[5])};
    return std::make_unique<TDDOptBtnCollection>(buttons, r[ItemCountry]);
}

// What the country field shows is what the configuration stores.
std::string CountryFieldText() {
    if (!OptionsMenu) return Options.Country;
    const TDDEdit& field = OptionsMenu->Edit;
    return field.Text.substr(0, field.Length);
}

std::unique_ptr<TDDEdit> MakeNameEdit() {
    auto edit = std::make_unique<TDDEdit>();
    edit->Rect = NameFieldRect;
    edit->Active = true;
    edit->Editing = true;
    return edit;
}

} // namespace

void CreateMenuWidgets() {
    if (!MainMenu) MainMenu = std::make_unique<TDDBtnCollection>(MainMenuItems);
    if (!HiScoreButtons) HiScoreButtons = std::make_unique<TDDBtnCollection>(HiScoreItems);
    if (!PageButtons) PageButtons = std::make_unique<TDDBtnCollection>(PageItems);
    if (!OptionsMenu) OptionsMenu = MakeOptionsMenu();
    if (!YesNoQuestion) YesNoQuestion = std::make_unique<TDDTextBtnCollection>(YesRect, NoRect, "Yes", "No");
    if (!OkCancelQuestion)
        OkCancelQuestion = std::make_unique<TDDTextBtnCollection>(OkRect, CancelRect, "Ok", "Cancel");
    if (!HiScoreNameEdit) HiScoreNameEdit = MakeNameEdit();
}

void CheckAllMenuWidgets() {
    if (!MainMenu) return;
    // Without this a click arriving before the next frame would perform the item selected before the
    // pointer got there.
    if (const auto pointAt = HomeOf(ScreenState).pointAt) pointAt();
    MainMenu->CheckMouse();
    HiScoreButtons->CheckMouse();
    PageButtons->CheckMouse();
    OptionsMenu->CheckMouse();
    YesNoQuestion->CheckMouse();
    OkCancelQuestion->CheckMouse();
}

void SetOptionsMouseMode() {
    if (OptionsMenu) OptionsMenu->MouseMode = true;
}

std::string NameEntryText() {
    if (!HiScoreNameEdit) return {};
    const TDDEdit& field = *HiScoreNameEdit;
    return field.Text.substr(0, field.Length);
}

bool SaveSettings() {
    Options.Country = CountryFieldText();
    if (!SaveConfig()) return false;
    // Only a table that is on the disk lets its old rows' games go: one cleared in memory and never
    // saved comes back at the next start, with its replays.
    ForgetReplaysOffTheTable();
    return true;
}

void ApplyCountryToOptionsScreen() {
    if (OptionsMenu) OptionsMenu->Edit.SetText(Options.Country);
}
