// The options screen's list: six picture buttons and the country field, seven items. The arrows go
// down the screen (the controls' row, item 6, comes between the boss key and Back) and stop at both
// ends; the pointer selects only after it has moved (MouseMode).
#pragma once

#include "DXCtrl/TDDButton.h"
#include "DXCtrl/TDDEdit.h"

#include <array>
#include <cstdint>
#include <functional>

class TDDOptBtnCollection {
  public:
    static constexpr int ItemCount = 7;
    static constexpr int ButtonCount = 6;
    static constexpr int EditItem = 3;
    static constexpr int BackItem = 5;

    // Items 0, 1, 2, 4, 5 and 6 are the buttons, item 3 the field at `editRect`.
    TDDOptBtnCollection(const std::array<TDDButton, ButtonCount>& buttons, const TRect& editRect);

    void Draw(Surface& target);
    void Up();
    void Down();
    // Enter and Space: trigger the selected item through the shell's action.
    void Confirm(const std::function<void()>& menuAction);
    void CheckMouse();
    void SelectItemAtMouse();

    std::array<TDDButton, ButtonCount> Buttons;
    TDDEdit Edit;
    int8_t PrevIndex = BackItem;
    int8_t ItemIndex = BackItem;
    bool MouseOver = false;
    bool MouseMode = false;

  private:
    int ItemAtMouse() const; // -1 when the pointer is on no item; later items win
};
