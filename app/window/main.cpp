// The program's one application object; WinMain is the framework's.
#include "utility_app.h"

CUtilityApp theApp;
