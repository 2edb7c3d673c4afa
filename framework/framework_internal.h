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

}  // namespace fwinternal
