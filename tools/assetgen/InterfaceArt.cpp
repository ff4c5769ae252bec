// The interface pictures (pack records 60-101), each at the number graphics/PackRecords.h names.
#include "InterfaceArt.h"
#include "graphics/PackRecords.h"

using namespace interface_art;

std::vector<Picture> DrawInterfaceSprites() {
    namespace Record = InterfaceRecord;
    std::vector<Picture> pictures(InterfaceRecordCount);
    pictures[Record::MenuBackground] = MenuBackground();
    for (int item = 0; item < 6; ++item)
        pictures[Record::FirstMainMenuHighlight + item] = MainMenuHighlight(item);
    pictures[Record::StageMarker] = StageMarker();
    pictures[Record::TextFieldFrame] = TextFieldFrame(false);
    pictures[Record::ActiveTextFieldFrame] = TextFieldFrame(true);
    pictures[Record::BossKeyFace] = ValueFace(2, false);
    pictures[Record::BossKeyHighlight] = ValueFace(2, true);
    pictures[Record::DisplayFace] = ValueFace(0, false);
    pictures[Record::DisplayHighlight] = ValueFace(0, true);
    pictures[Record::OnOffFace] = ValueFace(1, false);
    pictures[Record::OnOffHighlight] = ValueFace(1, true);
    pictures[Record::HiScoreRowStrip] = HiScoreRowStrip();
    pictures[Record::ClearTableFace] = WideFace(0, false);
    pictures[Record::ClearTableHighlight] = WideFace(0, true);
    pictures[Record::OnlineTableFace] = WideFace(1, false);
    pictures[Record::OnlineTableHighlight] = WideFace(1, true);
    pictures[Record::NextFace] = PageFace(0, false);
    pictures[Record::NextHighlight] = PageFace(0, true);
    pictures[Record::PreviousFace] = PageFace(1, false);
    pictures[Record::PreviousHighlight] = PageFace(1, true);
    pictures[Record::BackFace] = PageFace(2, false);
    pictures[Record::BackHighlight] = PageFace(2, true);
    pictures[Record::QuestionPanel] = QuestionPanel();
    pictures[Record::LivesPlate] = LivesPlate();
    pictures[Record::TopBar] = TopBar();
    pictures[Record::SidePanel] = SidePanel();
    pictures[Record::Logo] = TitleLogo();
    pictures[Record::HeaderFrame] = ScreenHeader();
    pictures[Record::MainMenuPanel] = MainMenuPanel();
    pictures[Record::SkullIcon] = OnBoardIcon(true);
    pictures[Record::BombIcon] = OnBoardIcon(false);
    pictures[Record::AboutPicture] = AboutBadge();
    // The records no screen shows keep their places with a small tile.
    for (Picture& picture : pictures)
        if (picture.width == 0) picture = UnusedTile();
    return pictures;
}
