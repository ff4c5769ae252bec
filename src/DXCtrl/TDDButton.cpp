#include "DXCtrl/TDDButton.h"

#include "DXCtrl/HitTest.h"
#include "graphics/Blit.h"
#include "graphics/SpriteStore.h"

bool TDDButton::Contains(int32_t x, int32_t y) const {
    return PointStrictlyInRect(Rect, x, y);
}

void TDDButton::Draw(Surface& target) const {
    if (Selected && ImageIndex < InterfaceSpriteCount)
        DrawDirect(InterfaceSprites[ImageIndex], target, Rect.left, Rect.top, true);
}
