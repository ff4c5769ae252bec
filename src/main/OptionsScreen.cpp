// The options screen (display mode, music, sound, country, boss key, and the row to the controls
// screen) and its boss-key capture, which shows the same screen waiting for the key.
#include "DXCtrl/MenuClick.h"
#include "audio/Audio.h"
#include "graphics/PackRecords.h"
#include "graphics/Text.h"
#include "main/ControlsScreen.h"
#include "main/ControlsText.h"
#include "main/Form.h"
#include "main/KeyNames.h"
#include "main/MenuWidgets.h"
#include "main/ScreenDrawing.h"
#include "main/ScreenHome.h"
#include "main/ScreenInput.h"
#include "main/Screens.h"
#include "persistence/Options.h"
#include "platform/Input.h"
#include "platform/PlatformState.h"

#include <array>
#include <string>

namespace {

const std::string OptionsTitle = "Options";
constexpr int RowLabelX = 120;

struct RowLabel {
    int item;
    int below; // pixels below the item's top
    std::string text;
};
const std::array<RowLabel, 6> RowLabels = {{{ItemDisplay, 12, "Display"},
                                            {ItemMusic, 12, "Music"},
                                            {ItemSound, 12, "Sound"},
                                            {ItemCountry, 16, "Your country"},
                                            {ItemBossKey, 12, "Boss key"},
                                            {ItemControls, 12, "Controls"}}};

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
const ValueText DefaultControlsValue{352, 12, "Default"};
const ValueText OwnControlsValue{346, 12, "Your own"};
constexpr int ControlsValueY = 545;
constexpr int DisplayValueY = 238;
constexpr int MusicValueY = 298;
constexpr int SoundValueY = 358;
constexpr int BossKeyValueY = 488;
constexpr int BossKeyValueX = 364;
constexpr int ValueHeight = 18;

void DrawValue(const Canvas& canvas, const ValueText& value, int y) {
    DrawMenuText(value.x, y, ValueHeight, value.width, value.text, canvas.target, ColourBrightGreen, false);
}

void DrawFace(const Canvas& canvas, int picture, int item, int dx, int dy) {
    const TRect& r = OptionItemRects[item];
    DrawPicture(canvas, picture, r.left + dx, r.top + dy);
}

// Everything but the selection: background, header, title, row labels and the plain faces.
void DrawOptionsFrame(const Canvas& canvas, bool capturingKey) {
    DrawPicture(canvas, InterfaceRecord::MenuBackground, 0, 0, false);
    DrawHeaderPair(canvas);
    DrawScreenTitle(canvas, 420, OptionsTitle);
    for (const RowLabel& label : RowLabels)
        DrawMenuText(RowLabelX, OptionItemRects[label.item].top + label.below, 18, 12, label.text,
                     canvas.target, ColourBrightGreen, false);
    DrawFace(canvas, InterfaceRecord::DisplayFace, ItemDisplay, 5, capturingKey ? 5 : 4);
    DrawFace(canvas, InterfaceRecord::OnOffFace, ItemMusic, 5, 5);
    DrawFace(canvas, InterfaceRecord::OnOffFace, ItemSound, 5, 5);
    if (capturingKey)
        DrawFace(canvas, InterfaceRecord::BossKeyHighlight, ItemBossKey, 0, 0);
    else
        DrawFace(canvas, InterfaceRecord::BossKeyFace, ItemBossKey, 4, 4);
    DrawFace(canvas, InterfaceRecord::BossKeyFace, ItemControls, 4, 4);
    DrawFace(canvas, InterfaceRecord::BackFace, ItemOptionsBack, 7, 7);
}

void DrawOptionValues(const Canvas& canvas, bool capturingKey) {
    DrawValue(canvas, Options.Windowed ? WindowValue : FullScreenValue, DisplayValueY);
    DrawValue(canvas, Options.MusicEnabled ? OnValue : OffValue, MusicValueY);
    DrawValue(canvas, Options.SoundEnabled ? OnValue : OffValue, SoundValueY);
    if (capturingKey) {
        DrawValue(canvas, WaitingForKey, BossKeyValueY);
        return;
    }
    const std::string name(KeyName(static_cast<uint32_t>(Options.MinimizeKey))); // short: no allocation
    DrawMenuText(BossKeyValueX, BossKeyValueY, ValueHeight, 14, name, canvas.target, ColourBrightGreen,
                 false);
}

// The controls' row says whether the player has made the controls their own.
void DrawControlsValue(const Canvas& canvas) {
    DrawValue(canvas, ControlsAsAtFirstStart(PlayerControls) ? DefaultControlsValue : OwnControlsValue,
              ControlsValueY);
}

bool DrawOptions(const Canvas& canvas, uint32_t) {
    DrawOptionsFrame(canvas, false);
    OptionsMenu->Draw(canvas.target);
    DrawOptionValues(canvas, false);
    DrawControlsValue(canvas);
    return true;
}

// Only the country field is drawn of the options list, so no other item shows a highlight.
bool DrawKeyCapture(const Canvas& canvas, uint32_t) {
    DrawOptionsFrame(canvas, true);
    OptionsMenu->Edit.Draw(canvas.target);
    DrawOptionValues(canvas, true);
    DrawControlsValue(canvas);
    return true;
}

// Left and Right pick the first or second item of the selected item's pair and perform it at once.
void PickOptionOfPair(TForm1& form, bool second) {
    TDDOptBtnCollection& options = *OptionsMenu;
    if (options.ItemIndex < 0 || options.ItemIndex > 5) return;
    options.MouseOver = true;
    options.ItemIndex = static_cast<int8_t>(options.ItemIndex / 2 * 2 + (second ? 1 : 0));
    form.MenuAction();
}

void OptionsKey(TForm1& form, uint16_t key) {
    TDDOptBtnCollection& options = *OptionsMenu;
    if (TypeInto(options.Edit, key)) return;
    switch (key) {
    case VkDown:
        options.Down();
        break;
    case VkUp:
        options.Up();
        break;
    case VkRight:
        PickOptionOfPair(form, true);
        break;
    case VkLeft:
        PickOptionOfPair(form, false);
        break;
    case VkReturn:
    case VkSpace:
        options.Confirm([&form] { form.MenuAction(); });
        break;
    case VkEscape:
        options.MouseOver = true;
        options.ItemIndex = TDDOptBtnCollection::BackItem;
        form.MenuAction();
        break;
    default:
        break;
    }
}

void PointAtOptions() {
    OptionsMenu->SelectItemAtMouse();
}

void OptionsAction(TForm1& form) {
    if (OptionsMenu->MouseOver) {
        switch (OptionsMenu->ItemIndex) {
        case ItemDisplay:
            form.SwitchWindowed(!Options.Windowed);
            break;
        case ItemMusic:
            Options.MusicEnabled = !Options.MusicEnabled;
            if (Options.MusicEnabled)
                PlayMusic("1.xm");
            else
                StopMusic();
            break;
        case ItemSound:
            Options.SoundEnabled = !Options.SoundEnabled;
            SetSoundEnabled(Options.SoundEnabled);
            break;
        case ItemCountry:
            OptionsMenu->Edit.Editing = !OptionsMenu->Edit.Editing;
            break;
        case ItemBossKey:
            RequestScreen(ScreenKeyCapture);
            break;
        case ItemOptionsBack:
            RequestScreen(ScreenMainMenu);
            break;
        case ItemControls:
            OpenControlsScreen();
            break;
        default:
            break;
        }
    }
    PlayMenuClickDirect(); // a click outside every item still sounds
}

// Any key with a name becomes the boss key.
void KeyCaptureKey(TForm1&, uint16_t key) {
    if (KeyName(key) == BadKeyName) return;
    Options.MinimizeKey = key;
    RequestScreen(ScreenOptions);
}

// A pad has no key to offer as the boss key: B or Back leaves the choice as it was.
bool KeyCapturePad(TForm1&, PadButton button) {
    if (button == PadButton::B || button == PadButton::Back) RequestScreen(ScreenOptions);
    return true;
}

} // namespace

const ScreenHome OptionsHome = {nullptr,        DrawOptions,   OptionsKey, nullptr, PadKeys::Menu,
                                PointAtOptions, OptionsAction, true,       false};
const ScreenHome KeyCaptureHome = {nullptr, DrawKeyCapture, KeyCaptureKey, KeyCapturePad, PadKeys::None,
                                   nullptr, nullptr,        true,          false};
