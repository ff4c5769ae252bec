#include "DXCtrl/TDDTextBtnCollection.h"

#include "DXCtrl/HitTest.h"
#include "DXCtrl/MenuClick.h"
#include "graphics/Text.h"
#include "platform/Input.h"

namespace {
constexpr int CaptionHeight = 46;
constexpr int CaptionWidth = 20;

uint32_t CaptionColour(bool chosen) {
    return chosen ? ColourBrightGreen : ColourDimGreen;
}
} // namespace

TDDTextBtnCollection::TDDTextBtnCollection(const TRect& first, const TRect& second,
                                           const std::string& firstCaption, const std::string& secondCaption)
    : Captions{firstCaption, secondCaption}, Rects{first, second} {}

void TDDTextBtnCollection::FollowPointer() {
    if (PointStrictlyInRect(Rects[0], MouseX, MouseY)) Choice = true;
    if (PointStrictlyInRect(Rects[1], MouseX, MouseY)) Choice = false;
}

void TDDTextBtnCollection::Draw(Surface& target) {
    const bool before = Choice;
    FollowPointer();
    DrawTitleText(Rects[0].left, Rects[0].top, CaptionHeight, CaptionWidth, Captions[0], target,
                  CaptionColour(Choice));
    DrawTitleText(Rects[1].left, Rects[1].top, CaptionHeight, CaptionWidth, Captions[1], target,
                  CaptionColour(!Choice));
    if (Choice != before) PlayMenuClickAtPointer();
}

void TDDTextBtnCollection::SetChoice(bool value) {
    PlayMenuClickAtPointer();
    Choice = value;
}

void TDDTextBtnCollection::CheckMouse() {
    MouseOver =
        PointStrictlyInRect(Rects[0], MouseX, MouseY) || PointStrictlyInRect(Rects[1], MouseX, MouseY);
}

void TDDTextBtnCollection::SelectChoiceAtMouse() {
    FollowPointer();
}
