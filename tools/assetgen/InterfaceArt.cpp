// Placeholder until the art lands.
#include "AssetGen.h"
#include "Canvas.h"

std::vector<Picture> DrawInterfaceSprites() {
    std::vector<Picture> pictures;
    for (int i = 0; i < 42; ++i) pictures.push_back(BlankPicture(i == 0 ? 800 : 100, i == 0 ? 600 : 40, 0x204020));
    return pictures;
}
