// Shared by the framework's own sources; not part of its interface.
#pragma once

#include "framework.h"

#include <string>

namespace fwinternal {

// The owner GetSafeOwner describes, as a handle.
HWND SafeOwner(HWND parent);
// The application's name, or the executable's base name without an application.
std::string AppName();
// The executable's base name without extension ("program" when unknown).
std::string ModuleBaseName();
// The whole text of window (empty for a null handle or no text).
std::string WindowText(HWND window);

// Test seam for message boxes: true when a test handler took the call.
bool SeamMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type,
                    int* answer);

}  // namespace fwinternal

// Test seam for modal dialogs (friend of CDialog).
struct ModalSeam {
  // After WM_INITDIALOG: starts the seam timer when the seam is in use.
  static void DialogStarted(CDialog& dlg);
  // WM_NCDESTROY of a dialog, or its destruction.
  static void DialogEnded(CDialog& dlg);
  // WM_TIMER with the seam's id: true when it was the seam's timer.
  static bool HandleTimer(CWnd& wnd);
};
