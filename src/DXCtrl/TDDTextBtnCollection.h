// A two-way choice drawn as two captions ("Yes"/"No", "Ok"/"Cancel"): the chosen one bright, the other
// dim. The captions follow the resting pointer on every frame, whatever was used last.
#pragma once

#include "core/Rect.h"
#include "platform/Surface.h"

#include <array>
#include <string>

class TDDTextBtnCollection {
  public:
    TDDTextBtnCollection(const TRect& first, const TRect& second, const std::string& firstCaption,
                         const std::string& secondCaption);

    void Draw(Surface& target);
    void SetChoice(bool value);
    void CheckMouse();
    void SelectChoiceAtMouse();

    bool Choice = true; // true: the first caption
    std::array<std::string, 2> Captions;
    std::array<TRect, 2> Rects;
    bool MouseOver = false;

  private:
    void FollowPointer();
};
