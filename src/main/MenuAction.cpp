// What a triggered widget does on each screen.
#include "main/Form.h"

void TForm1::MenuAction() {}
