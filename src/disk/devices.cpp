// Lookups in the device table.
#include "devices.h"

#include <cassert>
#include <cctype>

namespace {

// The rows stand at the index of their own type, so a type finds its row
// directly.
constexpr bool RowsInTypeOrder() {
    for (std::size_t i = 0; i < DEVICE_TABLE.size(); ++i)
        if (static_cast<std::size_t>(DEVICE_TABLE[i].nDiskType) != i)
            return false;
    return DEVICE_TABLE.size() == static_cast<std::size_t>(DiskType::None);
}
static_assert(RowsInTypeOrder(), "one row per device type, in the order of DiskType");

bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

const DeviceInfo& GetDeviceInfo(DiskType nDiskType) {
    auto nIndex = static_cast<std::size_t>(nDiskType);
    assert(nIndex < DEVICE_TABLE.size());
    return DEVICE_TABLE[nIndex];
}

DiskType FindDeviceByExtension(std::string_view extension) {
    if (extension.empty())
        return DiskType::None;
    for (const DeviceInfo& device : DEVICE_TABLE)
        for (std::string_view known : device.extensions)
            if (!known.empty() && EqualFolded(extension, known))
                return device.nDiskType;
    return DiskType::None;
}
