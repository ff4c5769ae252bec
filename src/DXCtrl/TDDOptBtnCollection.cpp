#include "DXCtrl/TDDOptBtnCollection.h"

#include "DXCtrl/HitTest.h"
#include "DXCtrl/MenuClick.h"
#include "platform/Input.h"

#include <algorithm>

namespace {
// Which button stands for each item; the field has none.
constexpr int ButtonOfItem[TDDOptBtnCollection::ItemCount] = {0, 1, 2, -1, 3, 4, 5};
// The items from the top of the screen down.
constexpr int ItemsDownTheScreen[TDDOptBtnCollection::ItemCount] = {0, 1, 2, 3, 4, 6, 5};

int PlaceOnScreen(int item) {
    for (int place = 0; place < TDDOptBtnCollection::ItemCount; ++place)
        if (ItemsDownTheScreen[place] == item) return place;
    return 0;
}

// The item `step` places up or down the screen from `item`, stopping at both ends.
int8_t ItemBeside(int item, int step) {
    const int place = std::clamp(PlaceOnScreen(item) + step, 0, TDDOptBtnCollection::ItemCount - 1);
    return static_cast<int8_t>(ItemsDownTheScreen[place]);
}
} // namespace

TDDOptBtnCollection::TDDOptBtnCollection(const std::array<TDDButton, ButtonCount>& buttons,
                                         const TRect& editRect)
    : Buttons(buttons) {
    Edit.Rect = editRect;
}

int TDDOptBtnCollection::ItemAtMouse() const {
    int hit = -1;
    for (int item = 0; item < ItemCount; ++item) {
        const int button = ButtonOfItem[item];
        const bool inside = button >= 0 ? Buttons[button].Contains(MouseX, MouseY)
                                        : PointStrictlyInRect(Edit.Rect, MouseX, MouseY);
        if (inside) hit = item;
    }
    return hit;
}

void TDDOptBtnCollection::Draw(Surface& target) {
    PrevIndex = ItemIndex;
    if (MouseMode) {
        const int hit = ItemAtMouse();
        if (hit >= 0) ItemIndex = static_cast<int8_t>(hit);
    }
    for (TDDButton& button : Buttons)
        button.Selected = false;
    const int selected = ButtonOfItem[std::clamp<int>(ItemIndex, 0, ItemCount - 1)];
    if (selected >= 0) Buttons[selected].Selected = true;
    Edit.Active = selected < 0;
    for (const TDDButton& button : Buttons)
        button.Draw(target);
    Edit.Draw(target);
    if (ItemIndex != PrevIndex) PlayMenuClickAtPointer();
}

void TDDOptBtnCollection::Up() {
    MouseMode = false;
    ItemIndex = ItemBeside(ItemIndex, -1);
    PlayMenuClickDirect();
}

void TDDOptBtnCollection::Down() {
    MouseMode = false;
    ItemIndex = ItemBeside(ItemIndex, 1);
    PlayMenuClickAtPointer();
}

void TDDOptBtnCollection::Confirm(const std::function<void()>& menuAction) {
    MouseOver = true;
    menuAction();
}

void TDDOptBtnCollection::CheckMouse() {
    MouseOver = ItemAtMouse() >= 0;
}

void TDDOptBtnCollection::SelectItemAtMouse() {
    const int hit = ItemAtMouse();
    if (hit >= 0) ItemIndex = static_cast<int8_t>(hit);
}
