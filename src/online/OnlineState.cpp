#include "online/OnlineState.h"

#include "online/ScoreSending.h"
#include "online/WebScores.h"

void ResetOnlineState() {
    FinishScoreSending();
    ScoreServer = TScoreServer{};
    LinksFailedAtOnce = 0;
}
