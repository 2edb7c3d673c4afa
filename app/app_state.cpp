#include "app_state.h"

char CurrentDeviceAddress[16] = {};
int lanPortIndex = 0;
int LoginForAdmin = 0;
