// The dialog framework in one include (see framework/README.md).
#pragma once

#include "gdi.h"
#include "wnd.h"
#include "dialog.h"
#include "controls.h"
#include "winapp.h"
