#include "main/Screens.h"

#include "core/ScreenState.h"
#include "main/Form.h"

// Screens whose drawing has not landed yet stay black.
void DrawShellScreen(TForm1& form) {
    switch (ScreenState) {
    case ScreenPause: form.BackBuffer->BlitWhole(*form.SavedScreen, 0, 0, false); break;
    default: break;
    }
}
