#include "main/SendResult.h"

#include "core/ScreenState.h"
#include "main/Form.h"
#include "main/Screens.h"

void SendResult(TForm1& form) {
    ShowWaitingNotice(form);
    ScreenState = ScreenHiScores;
}
