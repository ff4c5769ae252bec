// Sending a confirmed result to the score server, with the waiting notice shown first.
#pragma once

class TForm1;

void SendResult(TForm1& form);
// Ok on a name entry with no letters keeps the entry open and tells the player; true when it was blank.
bool RefuseBlankName();
