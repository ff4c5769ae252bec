// Steps of the shell shared by the key table and the menu actions.
#pragma once

class TForm1;

// Back into the running game from its quit question: the pointer is hidden and held again.
void ResumeGame(TForm1& form);
