// Draws nothing until the font renderer lands.
#include "graphics/Text.h"

void DrawTitleText(int, int, int, int, const std::string&, Surface&, uint32_t) {}
void DrawGameText(int, int, int, int, const std::string&, Surface&, uint32_t, uint32_t, bool) {}
void DrawMenuText(int, int, int, int, const std::string&, Surface&, uint32_t, bool) {}
void DrawEditText(int, int, int, int, const std::string&, Surface&, uint32_t) {}
int MeasureEditText(int, int, const std::string& text) { return static_cast<int>(text.size()) * 10; }
