#include "main/SendResult.h"

#include "DXCtrl/TDDEdit.h"
#include "Game/TGame.h"
#include "core/ScreenState.h"
#include "main/Form.h"
#include "main/GameRecording.h"
#include "main/MenuWidgets.h"
#include "main/Notice.h"
#include "main/Screens.h"
#include "online/ScoreSending.h"

bool RefuseBlankName() {
    if (!NameEntryText().empty()) return false;
    ShowNotice(NameMissingNotice);
    return true;
}

// The requests run on their own thread while the notice shows; FollowScoreSending takes the program on.
void SendResult(TForm1& form) {
    ShowWaitingNotice(form);
    StartSendingScore(NameEntryText(), CurrentGame ? CurrentGame->Score : 0, FinishedGameReplayBytes());
}

// To the high-score table, or to the retry question over the same frozen picture when the server did not
// answer both requests.
void FollowScoreSending() {
    switch (TakeScoreSendState()) {
    case ScoreSendState::Sent:
        RequestScreen(ScreenHiScores);
        ShowNotice(ResultSentNotice);
        break;
    case ScoreSendState::ReplayNotSent:
        RequestScreen(ScreenHiScores);
        ShowNotice(ReplayNotSentNotice);
        break;
    case ScoreSendState::NotSent:
        RequestScreen(ScreenRetryQuestion);
        break;
    case ScoreSendState::Idle:
    case ScoreSendState::Waiting:
        break;
    }
}

void StopWaitingForScore() {
    StopSendingScore();
    RequestScreen(ScreenHiScores);
    ShowNotice(ResultNotSentNotice);
}
