#include "persistence/HiScores.h"

#include "graphics/Text.h"
#include "persistence/ConfigFile.h"

#include <utility>

namespace {

std::array<THiScores, HiScoreCount> DefaultHiScores() {
    std::array<THiScores, HiScoreCount> table;
    for (int i = 0; i < HiScoreCount; ++i)
        table[i] = THiScores{"Anonymous", 1000 - 100 * i};
    return table;
}

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
};
constexpr TableColumn PlaceColumn{270, 310, NumberFontWidth, "Place"};
constexpr TableColumn NameColumn{450, 410, NameFontWidth, "Name"};
constexpr TableColumn ScoreColumn{640, 640, NumberFontWidth, "Score"};
constexpr int HeadingY = 124;

void DrawCell(const TableColumn& column, int y, const std::string& text, Surface& target, uint32_t colour) {
    DrawTitleText(column.RowX, y, TableFontHeight, column.FontWidth, text, target, colour);
}

} // namespace

std::array<THiScores, HiScoreCount> HiScoreTable = DefaultHiScores();

void ResetHighScores() {
    HiScoreTable = DefaultHiScores();
}

bool ScoreEntersTable(int32_t score) {
    return score > HiScoreTable[HiScoreCount - 1].Score;
}

bool InsertHiScore(const std::string& name, int32_t score) {
    HiScoreTable[HiScoreCount - 1] = THiScores{name, score};
    // Only a strictly smaller score gives way, so among equal scores the older entry stays above.
    for (int i = 0; i < HiScoreCount; ++i)
        for (int j = HiScoreCount - 1; j > i; --j)
            if (HiScoreTable[j - 1].Score < HiScoreTable[j].Score)
                std::swap(HiScoreTable[j - 1], HiScoreTable[j]);
    return SaveConfig();
}

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
