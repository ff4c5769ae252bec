// A list of picture buttons with one selected item: the arrows step through it (wrapping at both ends),
// the pointer selects what it rests on, and MouseOver tells the shell whether to perform the item.
#pragma once

#include "DXCtrl/TDDButton.h"

#include <cstdint>
#include <span>
#include <vector>

struct ButtonSpec {
    TRect rect;
    uint8_t image;
};

class TDDBtnCollection {
  public:
    explicit TDDBtnCollection(std::span<const ButtonSpec> items);

    void Draw(Surface& target);
    void SetItemIndex(int n);
    void Next() { SetItemIndex(ItemIndex + 1); }
    void Prev() { SetItemIndex(ItemIndex - 1); }
    void CheckMouse();
    // A click selects the item under the pointer before it is performed (quietly: the action clicks).
    void SelectItemAtMouse();

    std::vector<TDDButton> Buttons;
    int8_t ItemIndex = 0;
    int8_t PrevIndex = 0;
    int8_t Count = 0;
    bool MouseOver = false;

  private:
    int WrapIndex(int n) const;
    int ItemAtMouse() const; // -1 when the pointer is on none; the last hit wins
    void MoveSelection(int from, int to);
};
