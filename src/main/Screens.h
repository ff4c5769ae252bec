// Drawing every screen of the shell but the running game.
#pragma once

class TForm1;

void DrawShellScreen(TForm1& form);
