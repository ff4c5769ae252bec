// The pieces of input handling the screens share: the keys of lists and questions, typing into a
// field, and the steps into and out of the running game.
#pragma once

#include "DXCtrl/TDDBtnCollection.h"
#include "DXCtrl/TDDEdit.h"
#include "DXCtrl/TDDTextBtnCollection.h"

#include <cstdint>

class TForm1;

// Letters and Backspace go to a text field; true when the key was one of them.
bool TypeInto(TDDEdit& field, uint16_t key);
// Up/Left and Down/Right move through the list; Enter or Space performs the selected item.
void StepButtons(TDDBtnCollection& buttons, uint16_t key, TForm1& form);
// Left and Right choose the answer; Enter, Space (and Y where it counts) answer with the highlighted one.
void HandleQuestionKey(TForm1& form, TDDTextBtnCollection& question, uint16_t key, bool yesKeyAnswers);
bool IsEscapeOrN(uint16_t key);
// The questions' answers under the pointer are chosen before a click acts.
void PointAtYesOrNo();
void PointAtOkOrCancel();

// Keeps the picture on screen as the frozen picture under a question or the pause.
void FreezePicture(TForm1& form);
// Back into the running game from its pause or quit question: the pointer is hidden and held again.
void ResumeGame(TForm1& form);
