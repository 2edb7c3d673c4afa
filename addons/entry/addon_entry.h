// What the main window may call of the add-ons: one entry point per add-on
// button. The main window passes what the flow needs and, for the install
// flows, runs its refresh sequence when the entry returns true. Nothing else
// of addons/ is visible to app/ (the build's include directories and
// scripts/lint keep it so).
#pragma once

class CWnd;

// The Language button (1022): with a device selected, the language dialog,
// the install run and the restart wait; without one, "Please select a
// device.". True when the device has restarted with its new code page.
bool RunLanguageAddon(CWnd* parent, bool deviceSelected);

// The BitTorrent button (1025): administrator login, readiness polls, the
// install run and the restart wait; "Please select a device." without a
// device. True when the flow ran its course.
bool RunBtAddon(CWnd* parent, bool deviceSelected);

// The Widget button (1032), for the device at address (the selected row's)
// whose model is model (the clicked device's; empty when it reported none):
// the address file, the widget-engine prompt, the model's widget file.
void RunWidgetAddon(CWnd* parent, const char* address, const char* model);
