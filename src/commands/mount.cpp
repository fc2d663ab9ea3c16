// The disk commands MOUNT, DISMOUNT and PARTITION, and the mounted and
// writable checks that every file command makes first.
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>

#include "commands.h"
#include "disk.h"
#include "os8.h"
#include "shell.h"

bool CheckMounted() {
    if (IsDiskMounted())
        return true;
    Message('E', "no disk mounted");
    return false;
}

bool CheckWritable() {
    if (!CheckMounted())
        return false;
    if (IsDiskReadOnly()) {
        Message('E', "disk is read only");
        return false;
    }
    return true;
}

void DismountCurrent() {
    if (!CheckMounted())
        return;
    Message('I', "dismounting disk %s", GetDiskName().c_str());
    CloseDisk();
}
