// A fake raw volume for the Windows drive layer: the Win32 calls of
// drive_win32.h answered from memory, with a chosen geometry and chosen
// faults, so that the layer is tested on every host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "drive_win32.h"

namespace fakedrive {

struct FakeDrive {
    DriveGeometry geometry;
    std::vector<std::uint8_t> abData;  // the sectors (the geometry's bytes)
    // Faults: the Win32 error each call fails with (0: it works).
    std::uint32_t nOpenError = 0;
    std::uint32_t nGeometryError = 0;
    std::uint32_t nReadError = 0;
    std::uint32_t nWriteError = 0;
    // What the layer did.
    std::string lastPath;
    int nOpen = 0;  // handles open now
    int nEjects = 0;
    std::vector<std::uint64_t> readOffsets;
    std::vector<std::uint64_t> writeOffsets;
};

// The one drive; Reset gives a fresh drive of nSectors sectors of 512
// bytes (as one cylinder per sector).
FakeDrive& Drive();
void Reset(std::uint64_t nSectors);

}  // namespace fakedrive
