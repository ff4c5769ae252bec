// The 42 interface pictures (pack records 60-101), in image order.
#include "InterfaceArt.h"

using namespace interface_art;

std::vector<Picture> DrawInterfaceSprites() {
    std::vector<Picture> pictures;
    pictures.reserve(42);
    pictures.push_back(MenuBackground()); // 0
    for (int item = 0; item < 6; ++item)
        pictures.push_back(MainMenuHighlight(item)); // 1-6
    pictures.push_back(StageMarker());               // 7
    pictures.push_back(TextFieldFrame(false));       // 8
    pictures.push_back(ValueFace(2, false));         // 9 boss key face
    pictures.push_back(HiScoreRowStrip());           // 10
    pictures.push_back(WideFace(0, true));           // 11 clear table highlight
    pictures.push_back(WideFace(1, true));           // 12 online table highlight
    pictures.push_back(UnusedTile());                // 13 (no image 13 is used)
    pictures.push_back(PageFace(2, true));           // 14 back highlight
    pictures.push_back(PageFace(1, true));           // 15 previous highlight
    pictures.push_back(PageFace(0, true));           // 16 next highlight
    pictures.push_back(ValueFace(0, false));         // 17 display-mode face
    pictures.push_back(ValueFace(1, false));         // 18 on/off face
    pictures.push_back(QuestionPanel());             // 19
    pictures.push_back(LivesPlate());                // 20
    pictures.push_back(TopBar());                    // 21
    pictures.push_back(SidePanel());                 // 22
    pictures.push_back(PageFace(0, false));          // 23 next face
    pictures.push_back(PageFace(1, false));          // 24 previous face
    for (int unused = 25; unused <= 28; ++unused)
        pictures.push_back(UnusedTile());     // 25-28
    pictures.push_back(TitleLogo());          // 29
    pictures.push_back(ScreenHeader());       // 30
    pictures.push_back(MainMenuPanel());      // 31
    pictures.push_back(WideFace(0, false));   // 32 clear table face
    pictures.push_back(WideFace(1, false));   // 33 online table face
    pictures.push_back(PageFace(2, false));   // 34 back face
    pictures.push_back(ValueFace(1, true));   // 35 on/off highlight
    pictures.push_back(ValueFace(0, true));   // 36 display-mode highlight
    pictures.push_back(TextFieldFrame(true)); // 37
    pictures.push_back(ValueFace(2, true));   // 38 boss-key highlight
    pictures.push_back(OnBoardIcon(true));    // 39 mega-skull
    pictures.push_back(OnBoardIcon(false));   // 40 mega-bomb
    pictures.push_back(AboutBadge());         // 41
    return pictures;
}
