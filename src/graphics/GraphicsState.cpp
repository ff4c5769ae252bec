#include "graphics/GraphicsState.h"

#include "graphics/SpriteStore.h"

void ResetGraphicsState() {
    FreeSpriteStore();
}
