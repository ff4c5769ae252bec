// Sending a confirmed result to the score server, with the waiting notice shown first.
#pragma once

class TForm1;

void SendResult(TForm1& form);
