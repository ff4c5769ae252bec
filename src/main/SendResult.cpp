#include "main/SendResult.h"

#include "DXCtrl/TDDEdit.h"
#include "Game/TGame.h"
#include "core/ScreenState.h"
#include "main/Form.h"
#include "main/MenuWidgets.h"
#include "main/Notice.h"
#include "main/Screens.h"
#include "online/WebScores.h"

namespace {

std::string NameEntryText() {
    if (!HiScoreNameEdit) return {};
    const TDDEdit& field = *HiScoreNameEdit;
    return field.Text.substr(0, field.Length);
}

} // namespace

bool RefuseBlankName() {
    if (!NameEntryText().empty()) return false;
    ShowNotice(NameMissingNotice);
    return true;
}

// The notice is presented before the requests block the program; then the program goes on to the
// high-score table, or to the retry question over the same frozen picture when the server did not answer.
void SendResult(TForm1& form) {
    ShowWaitingNotice(form);
    const int32_t score = CurrentGame ? CurrentGame->Score : 0;
    ScreenState = SubmitScore(NameEntryText(), score) ? ScreenHiScores : ScreenRetryQuestion;
}
