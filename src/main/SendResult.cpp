#include "main/SendResult.h"

#include "DXCtrl/TDDEdit.h"
#include "main/Form.h"
#include "main/MenuWidgets.h"
#include "main/Screens.h"
#include "online/WebScores.h"

namespace {

std::string NameEntryText() {
    if (!HiScoreNameEdit) return {};
    const TDDEdit& field = *HiScoreNameEdit;
    return field.Text.substr(0, field.Length);
}

} // namespace

// The notice is presented before the requests block the program; SubmitScore then leaves the
// program on the high-score table or on the retry question over the same frozen picture.
void SendResult(TForm1& form) {
    ShowWaitingNotice(form);
    SubmitScore(NameEntryText());
}
