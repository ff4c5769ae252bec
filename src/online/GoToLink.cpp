// Opens nothing until the browser hand-over lands.
#include "online/GoToLink.h"

void OpenLink(const std::string&) {}
void OpenPlayUrl() {}
