#include "graphics/Text.h"
#include "main/ScreenDrawing.h"
#include "persistence/HiScores.h"

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

// Whatever a cell holds (a damaged Config.cfg can hold any score), it is cut to its column.
void DrawCell(const TableColumn& column, int y, std::string text, Surface& target, uint32_t colour) {
    while (!text.empty() &&
           column.RowX + MeasureTitleText(TableFontHeight, column.FontWidth, text) > column.RowRight)
        text.pop_back();
    DrawTitleText(column.RowX, y, TableFontHeight, column.FontWidth, text, target, colour);
}

} // namespace

void DrawHiScores(Surface& target) {
    for (const TableColumn* column : {&PlaceColumn, &NameColumn, &ScoreColumn})
        DrawTitleText(column->HeadingX, HeadingY, TableFontHeight, column->FontWidth, column->Heading, target,
                      ColourBrightGreen);
    for (int row = 0; row < HiScoreCount; ++row) {
        const int y = FirstRowY + RowSpacing * row;
        const uint32_t colour = row == 0 ? ColourBrightGreen : ColourDimGreen;
        DrawCell(PlaceColumn, y, std::to_string(row + 1), target, colour);
        DrawCell(NameColumn, y, HiScoreTable[row].Name, target, colour);
        DrawCell(ScoreColumn, y, std::to_string(HiScoreTable[row].Score), target, colour);
    }
}
