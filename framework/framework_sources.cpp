// Implementation files of the framework follow.
#include "framework.h"
