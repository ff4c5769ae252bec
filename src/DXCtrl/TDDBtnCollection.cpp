#include "DXCtrl/TDDBtnCollection.h"

#include "DXCtrl/MenuClick.h"
#include "platform/Input.h"

TDDBtnCollection::TDDBtnCollection(std::span<const ButtonSpec> items) {
    Buttons.reserve(items.size());
    for (const ButtonSpec& item : items)
        Buttons.emplace_back(item.rect, item.image);
    Count = static_cast<int8_t>(Buttons.size());
    // The first item starts selected without a click: nothing has been chosen yet.
    if (Count > 0) Buttons[0].Selected = true;
}

int TDDBtnCollection::WrapIndex(int n) const {
    if (n > Count - 1) n = 0;
    if (n < 0) n = Count - 1;
    return n;
}

void TDDBtnCollection::MoveSelection(int from, int to) {
    if (from >= 0 && from < Count) Buttons[from].Selected = false;
    Buttons[to].Selected = true;
    ItemIndex = static_cast<int8_t>(to);
}

void TDDBtnCollection::SetItemIndex(int n) {
    if (Count == 0) return;
    MoveSelection(ItemIndex, WrapIndex(n));
    PlayMenuClickAtPointer(); // also when the selection stays where it was
}

int TDDBtnCollection::ItemAtMouse() const {
    int hit = -1;
    for (int i = 0; i < Count; ++i)
        if (Buttons[i].Contains(MouseX, MouseY)) hit = i;
    return hit;
}

void TDDBtnCollection::Draw(Surface& target) {
    if (Count == 0) return;
    PrevIndex = ItemIndex;
    if (MouseActive) {
        const int hit = ItemAtMouse();
        if (hit >= 0) ItemIndex = static_cast<int8_t>(hit);
    }
    ItemIndex = static_cast<int8_t>(WrapIndex(ItemIndex));
    // The highlight follows the flags, which change only below: a pointer change shows from the next frame.
    Buttons[ItemIndex].Draw(target);
    if (ItemIndex != PrevIndex) {
        PlayMenuClickAtPointer();
        MoveSelection(PrevIndex, ItemIndex);
    }
}

void TDDBtnCollection::CheckMouse() {
    MouseOver = ItemAtMouse() >= 0;
}

void TDDBtnCollection::SelectItemAtMouse() {
    const int hit = ItemAtMouse();
    if (hit >= 0) MoveSelection(ItemIndex, hit);
}
