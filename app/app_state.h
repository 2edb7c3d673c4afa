// Process-wide state that the main window's operations share, beside the
// protocol's CommandBuffers, DeviceList and ShareList and the drive table.
#pragma once
#include "text_copy.h"  // CopyTextField, CopyPaddedField

// Address text of the device last picked for an operation (at most 15
// characters and the terminator). The add-on installers build their UNC
// paths from it.
extern char CurrentDeviceAddress[16];

// The LAN port combo's selection as last shown (0 LAN1, 1 LAN2).
extern int lanPortIndex;

// What the login dialog asks for: 1 the administrator password (LAN
// settings), 0 share credentials (drive mapping).
extern int LoginForAdmin;
