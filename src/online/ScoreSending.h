// Sending a result while the game goes on drawing: the two requests run on a thread of their own, and
// the player may stop waiting at any time.
#pragma once

#include <cstdint>
#include <string>

enum class ScoreSendState { Idle, Waiting, Sent, NotSent };

// Starts sending to ScoreServer with Options.Country, both taken now; a sending still under way from
// before is stopped first.
void StartSendingScore(const std::string& name, int32_t score);
// Waiting while the requests run, then Sent or NotSent once; Idle after that and when nothing was started.
ScoreSendState TakeScoreSendState();
// The player stopped waiting: the requests end at their next chance, and nothing waits for them here.
void StopSendingScore();
// Stops any sending and waits until its thread has ended (a new start of the shell, the program's end).
void FinishScoreSending();
