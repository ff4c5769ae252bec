#include "persistence/Options.h"

TOptions Options;
