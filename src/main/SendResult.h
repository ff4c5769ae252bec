// Sending a confirmed result to the score server behind the waiting notice, which the player may leave.
#pragma once

class TForm1;

void SendResult(TForm1& form);
// Each frame of the waiting notice: on to the table (told the result was sent) or the retry question.
void FollowScoreSending();
// Escape on the waiting notice: to the table at once, told the result was not sent.
void StopWaitingForScore();
// Ok on a name entry with no letters keeps the entry open and tells the player; true when it was blank.
bool RefuseBlankName();
