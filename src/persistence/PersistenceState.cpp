#include "persistence/PersistenceState.h"

#include "persistence/HiScores.h"
#include "persistence/Options.h"

void ResetPersistenceState() {
    Options = TOptions{};
    EndWindowModeOverride();
    ResetHighScores();
}
