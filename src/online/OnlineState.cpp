#include "online/OnlineState.h"

#include "online/WebScores.h"

void ResetOnlineState() {
    ScoreServer = TScoreServer{};
    LinksFailedAtOnce = 0;
}
