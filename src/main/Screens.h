// The shell's screens as the form sees them: asking for a change of screen and applying it, and one
// frame of a shell screen. Each screen's own home is found through HomeOf (ScreenHome.h).
#pragma once

#include "core/ScreenState.h"
#include "main/ScreenDrawing.h"

#include <cstdint>

class TForm1;

// A change of screen is asked for while an input or a frame is handled and applied once it is over, in
// ApplyScreenChange: every handler, the frame's step and the drawing see the screen the input or frame
// found, and the last request wins.
void RequestScreen(Screen screen);
// The form calls this when an input, a frame or one of its own entry points is over.
void ApplyScreenChange();

// One frame of a shell screen (every screen but the running game and a watched replay): the screen's
// step, in this one place (the intro's counter and end, the bonus page's animation, the waiting
// notice's following of the sending).
void StepShellScreen();
// A shell screen's picture, which changes nothing and shows the screen and counter as the last frame
// found them. False when a blit failed and the surfaces must be restored.
bool DrawShellScreen(const Canvas& canvas, Screen screen, uint32_t counter);
// The waiting notice is the next screen, and its first frame is drawn and presented right after the
// event that asked for it, so that it shows before anything blocks.
void ShowWaitingNotice(TForm1& form);
