#include "graphics/Text.h"
#include "main/ScreenDrawing.h"
#include "persistence/HiScores.h"

#include <algorithm>
#include <string>

namespace {

constexpr int TableFontHeight = 24;
constexpr int NumberFontWidth = 16;
constexpr int NameFontWidth = 14;
constexpr int FirstRowY = 160;
constexpr int RowSpacing = 36;

struct TableColumn {
    int HeadingX;
    int RowX;
    int FontWidth;
    const char* Heading;
    int RowRight; // a cell's text ends before the column's divider
};
constexpr TableColumn PlaceColumn{270, 310, NumberFontWidth, "Place", 382};
constexpr TableColumn NameColumn{450, 410, NameFontWidth, "Name", 624};
constexpr TableColumn ScoreColumn{640, 640, NumberFontWidth, "Score", 744};
constexpr int HeadingY = 124;
constexpr int RowLeft = 252, RowRight = 746;
// The mark of a row whose game can be watched: a small "play" triangle right of the row.
constexpr int ReplayMarkX = 754, ReplayMarkHeight = 15;

// Whatever a cell holds (a damaged Config.cfg can hold any score), it is cut to its column.
void DrawCell(const TableColumn& column, int y, std::string text, Surface& target, uint32_t colour) {
    while (!text.empty() &&
           column.RowX + MeasureTitleText(TableFontHeight, column.FontWidth, text) > column.RowRight)
        text.pop_back();
    DrawTitleText(column.RowX, y, TableFontHeight, column.FontWidth, text, target, colour);
}

// A frame round a row: the newest result's, or the one chosen to watch.
void MarkRow(int row, Surface& target, uint32_t colour) {
    constexpr int Left = RowLeft, Right = RowRight, Thickness = 2;
    const int top = FirstRowY - 3 + RowSpacing * row;
    const int bottom = top + RowSpacing - 2;
    target.FillRect(TRect{Left, top, Right, top + Thickness}, colour);
    target.FillRect(TRect{Left, bottom - Thickness, Right, bottom}, colour);
    target.FillRect(TRect{Left, top, Left + Thickness, bottom}, colour);
    target.FillRect(TRect{Right - Thickness, top, Right, bottom}, colour);
}

} // namespace

void DrawHiScores(Surface& target) {
    for (const TableColumn* column : {&PlaceColumn, &NameColumn, &ScoreColumn})
        DrawTitleText(column->HeadingX, HeadingY, TableFontHeight, column->FontWidth, column->Heading, target,
                      ColourBrightGreen);
    for (int row = 0; row < HiScoreCount; ++row) {
        const int y = FirstRowY + RowSpacing * row;
        const uint32_t colour = row == 0 || row == NewestHiScoreRow ? ColourBrightGreen : ColourDimGreen;
        if (row == NewestHiScoreRow) MarkRow(row, target, ColourLightGreen);
        DrawCell(PlaceColumn, y, std::to_string(row + 1), target, colour);
        DrawCell(NameColumn, y, HiScoreTable[row].Name, target, colour);
        DrawCell(ScoreColumn, y, std::to_string(HiScoreTable[row].Score), target, colour);
    }
}

void DrawReplayMarks(Surface& target, const std::array<TableReplayFile, HiScoreCount>& replayFiles,
                     int chosenRow) {
    for (int row = 0; row < HiScoreCount; ++row) {
        if (replayFiles[row].Path.empty()) continue;
        const bool chosen = row == chosenRow;
        if (chosen) MarkRow(row, target, ColourBrightGreen);
        const uint32_t colour = chosen ? ColourBrightGreen : ColourMediumGreen;
        const int top = FirstRowY + RowSpacing * row + (TableFontHeight - ReplayMarkHeight) / 2;
        for (int y = 0; y < ReplayMarkHeight; ++y) {
            const int width = 1 + std::min(y, ReplayMarkHeight - 1 - y);
            if (replayFiles[row].OtherFormat) { // the triangle's outline only
                target.FillRect(TRect{ReplayMarkX, top + y, ReplayMarkX + 1, top + y + 1}, colour);
                target.FillRect(TRect{ReplayMarkX + width - 1, top + y, ReplayMarkX + width, top + y + 1},
                                colour);
            } else {
                target.FillRect(TRect{ReplayMarkX, top + y, ReplayMarkX + width, top + y + 1}, colour);
            }
        }
    }
}

int HiScoreRowAt(int x, int y) {
    if (x < RowLeft || x >= ReplayMarkX + ReplayMarkHeight || y < FirstRowY - 3) return -1;
    const int row = (y - (FirstRowY - 3)) / RowSpacing;
    return row < HiScoreCount ? row : -1;
}
