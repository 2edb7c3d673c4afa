// The application object: opens the device transport, runs the main window
// modally and ends the program when it closes.
#pragma once
#include "framework.h"

class CUtilityApp : public CWinApp {
public:
  CUtilityApp();
  // Returns FALSE: the program ends when the main window has closed. When
  // the socket library cannot start, the exit code is 1 and no window opens.
  BOOL InitInstance() override;
};
