// The program-wide values of online, declared here and nowhere else, and their reset.
#pragma once

struct TScoreServer;

// Where the score server is and how long a request may take (see WebScores.h).
extern TScoreServer ScoreServer;

// Links the opener could not even be started for, not yet reported (see GoToLink.h).
extern int LinksFailedAtOnce;

// Back to the values at program start: no result being sent, the score server the build names, the
// usual time-outs, no failed link waiting to be reported.
void ResetOnlineState();
