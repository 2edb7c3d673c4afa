// Texts that more than one add-on flow shows.
#pragma once

constexpr char kSelectDeviceMessage[] = "Please select a device.";
constexpr char kNoDiskMessage[] =
    "No hard drives were detected.\nPlease verify that the hard drives are properly connected before continuing.";
constexpr char kUnformattedMessage[] = "Please format hard drive.";
