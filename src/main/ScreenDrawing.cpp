#include "main/ScreenDrawing.h"

#include "graphics/Blit.h"
#include "graphics/PackRecords.h"
#include "graphics/SpriteStore.h"
#include "graphics/Text.h"

bool DrawMenuBackground(const Canvas& canvas) {
    return DrawDirect(InterfaceSprites[InterfaceRecord::MenuBackground], canvas.target, 0, 0, false) ==
           BlitOk;
}

void DrawPicture(const Canvas& canvas, int picture, int x, int y, bool keyed) {
    DrawDirect(InterfaceSprites[picture], canvas.target, x, y, keyed);
}

void DrawHeaderPair(const Canvas& canvas) {
    DrawPicture(canvas, InterfaceRecord::Logo, 0, 0);
    DrawPicture(canvas, InterfaceRecord::HeaderFrame, 388, 0);
}

void DrawScreenTitle(const Canvas& canvas, int x, const std::string& title) {
    DrawTitleText(x, 25, 28, 18, title, canvas.target, ColourBrightGreen);
}

const PanelText ExitGameText{300, 260, "Exit game?"};

void DrawPanelText(const Canvas& canvas, const PanelText& line, int height, int width, uint32_t colour) {
    DrawTitleText(line.x, line.y, height, width, line.text, canvas.target, colour);
}

bool DrawSavedScreen(const Canvas& canvas) {
    return canvas.target.BlitWhole(canvas.frozen, 0, 0, false) == BlitOk;
}

void DrawPanel(const Canvas& canvas, int x) {
    DrawDirect(InterfaceSprites[InterfaceRecord::QuestionPanel], canvas.target, x, 200, false);
}
