#include "addon_state.h"

AddonFlowStateRecord AddonFlowState = {};
