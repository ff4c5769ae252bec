// The per-screen drawing routines behind DrawShellScreen, which change nothing, the steps of the screens
// that change with time, and the pieces the screens share.
#pragma once

#include "core/ScreenState.h"
#include "platform/Surface.h"

#include <cstdint>

class TForm1;

// The full-screen menu picture; a failed blit starts the surface recovery.
void DrawMenuBackground(TForm1& form);

// The intro's step: the title's counter, the main menu highlight every few steps, and the end of the
// intro; its drawing shows the counter as it was before the frame's step.
void StepIntro();
void DrawIntro(TForm1& form, uint32_t counter);
void DrawMainMenu(TForm1& form);
void DrawOptions(TForm1& form);
void DrawKeyCapture(TForm1& form);
void DrawHiScoreScreen(TForm1& form);
// The headings and the ten rows of the high-score table.
void DrawHiScores(Surface& target);
// Pictures kept between frames are made again from the next frame on (the sprite store was reloaded).
void ForgetScreenPictures();
// The bonus help page animates its pictures on the intro's counter.
void StepBonusAnimation();
void DrawHelpPage(TForm1& form, Screen screen, uint32_t counter);

void DrawExitQuestion(TForm1& form);
void DrawClearQuestion(TForm1& form);
void DrawPause(TForm1& form);
void DrawNameEntry(TForm1& form);
void DrawSendQuestion(TForm1& form);
void DrawQuitQuestion(TForm1& form);
void DrawRetryQuestion(TForm1& form);
void DrawWaitingNotice(TForm1& form);
