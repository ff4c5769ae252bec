// Where the game's pictures and tunes are read from.
#pragma once

#include "core/CoreState.h"
