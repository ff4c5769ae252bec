// Drawing every screen of the shell but the running game.
#pragma once

class TForm1;

void DrawShellScreen(TForm1& form);
// Presents the waiting notice at once: the frame gate is opened so that it shows before anything blocks.
void ShowWaitingNotice(TForm1& form);
