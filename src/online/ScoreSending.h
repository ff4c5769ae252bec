// Sending a result while the game goes on drawing: the two requests, then the game's replay when there
// is one, run on a thread of their own, and the player may stop waiting at any time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// ReplayNotSent: the result was sent, its replay was not taken (the player is told; the replay kept
// on this machine is not touched).
enum class ScoreSendState { Idle, Waiting, Sent, ReplayNotSent, NotSent };

// Starts sending to ScoreServer with Options.Country, both taken now; a sending still under way from
// before is stopped first. The replay's bytes are uploaded once the result is sent; empty: no replay.
void StartSendingScore(const std::string& name, int32_t score, std::vector<uint8_t> replay);
// Waiting while the requests run, then Sent, ReplayNotSent or NotSent once; Idle after that and when
// nothing was started.
ScoreSendState TakeScoreSendState();
// The player stopped waiting: the requests end at their next chance, and nothing waits for them here.
void StopSendingScore();
// Stops any sending and waits until its thread has ended (a new start of the shell, the program's end).
void FinishScoreSending();
