// The per-screen drawing routines behind DrawShellScreen, and the pieces the screens share.
#pragma once

#include "core/ScreenState.h"
#include "platform/Surface.h"

#include <cstdint>

class TForm1;

// The full-screen menu picture; a failed blit starts the surface recovery.
void DrawMenuBackground(TForm1& form);

void DrawIntro(TForm1& form);
void DrawMainMenu(TForm1& form);
void DrawOptions(TForm1& form);
void DrawKeyCapture(TForm1& form);
void DrawHiScoreScreen(TForm1& form);
// The headings and the ten rows of the high-score table.
void DrawHiScores(Surface& target);
// Pictures kept between frames are made again from the next frame on (the sprite store was reloaded).
void ForgetScreenPictures();
void DrawHelpPage(TForm1& form, Screen screen);

void DrawExitQuestion(TForm1& form);
void DrawClearQuestion(TForm1& form);
void DrawPause(TForm1& form);
void DrawNameEntry(TForm1& form);
void DrawSendQuestion(TForm1& form);
void DrawQuitQuestion(TForm1& form);
void DrawRetryQuestion(TForm1& form);
void DrawWaitingNotice(TForm1& form);
