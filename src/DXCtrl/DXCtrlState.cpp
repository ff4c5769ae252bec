#include "DXCtrl/DXCtrlState.h"

void ResetDXCtrlState() {
    MenuClicksCounted = 0;
}
