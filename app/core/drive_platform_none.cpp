// Drive platform of builds without Windows networking: no letter is
// connected and every type is unknown.
#include "drive_table.h"

namespace {

struct NoDrivePlatform final : DrivePlatform {
    bool RemoteName(const char*, char* remote, size_t cap) override {
        if (cap > 0) remote[0] = '\0';
        return false;
    }
    unsigned DriveType(const char*) override { return kDriveUnknown; }
};

}  // namespace

DrivePlatform& SystemDrivePlatform() {
    static NoDrivePlatform platform;
    return platform;
}
