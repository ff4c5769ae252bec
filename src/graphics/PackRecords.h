// The records of the data pack Data/Data.pp that the game looks up by number, named once: the asset
// generator writes each named picture at its number and the game reads it from there. The pack holds
// the game sprites first, then the interface pictures; interface numbers count from the first of those.
#pragma once

inline constexpr int GameRecordCount = 60;
inline constexpr int InterfaceRecordCount = 42;
inline constexpr int FirstInterfaceRecord = GameRecordCount;

namespace GameRecord {
enum : int {
    ArmourBar = 0,
    EnergyBar = 1,
    FarStarfield = 2,
    FirstNearTile = 3, // five tiles of the near layer
    ShipSheet = 8,     // the player's ship, its frames side by side
    PauseStripe = 9,   // one scan line of the pause screen's darkening
    FirstShot = 22,    // the enemies' shots; the player's are these upside down
};
}

namespace InterfaceRecord {
enum : int {
    MenuBackground = 0,
    FirstMainMenuHighlight = 1, // six, one per main menu item
    StageMarker = 7,
    TextFieldFrame = 8,
    BossKeyFace = 9,
    HiScoreRowStrip = 10,
    ClearTableHighlight = 11,
    OnlineTableHighlight = 12,
    BackHighlight = 14,
    PreviousHighlight = 15,
    NextHighlight = 16,
    DisplayFace = 17,
    OnOffFace = 18,
    QuestionPanel = 19,
    LivesPlate = 20,
    TopBar = 21,
    SidePanel = 22,
    NextFace = 23,
    PreviousFace = 24,
    Logo = 29,
    HeaderFrame = 30,
    MainMenuPanel = 31,
    ClearTableFace = 32,
    OnlineTableFace = 33,
    BackFace = 34,
    OnOffHighlight = 35,
    DisplayHighlight = 36,
    ActiveTextFieldFrame = 37,
    BossKeyHighlight = 38,
    SkullIcon = 39,
    BombIcon = 40,
    AboutPicture = 41,
};
}
