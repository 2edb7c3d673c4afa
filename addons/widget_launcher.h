// The model's desktop widget: the selected device's address goes to a small
// text file that the widget reads, the user may fetch the widget engine
// first, then the model's widget file is opened with its registered program.
#pragma once

// The file the widget reads the device address from.
constexpr const char kWidgetAddressFile[] = "C:\\ip.txt";
// The widget engine maker's download page, opened through explorer.
constexpr const char kWidgetEngineDownloadUrl[] = "http://widgets.yahoo.com/";

// The flow itself is RunWidgetAddon (addon_entry.h).
