#include "fake_drive.h"

#include <cstring>

namespace fakedrive {

namespace {

FakeDrive g_drive;
std::uint32_t g_nLastError = 0;
int g_nHandleTag = 0;  // its address is the handle

bool Fail(std::uint32_t nError) {
    g_nLastError = nError;
    return false;
}

bool IsOurs(DriveHandle hDrive) { return hDrive == &g_nHandleTag && g_drive.nOpen > 0; }

}  // namespace

FakeDrive& Drive() { return g_drive; }

void Reset(std::uint64_t nSectors) {
    g_drive = FakeDrive{};
    g_drive.geometry.qCylinders = static_cast<std::int64_t>(nSectors);
    g_drive.geometry.nTracksPerCylinder = 1;
    g_drive.geometry.nSectorsPerTrack = 1;
    g_drive.geometry.cbBytesPerSector = 512;
    g_drive.abData.assign(nSectors * 512, 0);
    g_nLastError = 0;
}

}  // namespace fakedrive

using fakedrive::g_drive;

bool DriveCallOpen(const std::string& devicePath, DriveHandle* phDrive) {
    g_drive.lastPath = devicePath;
    if (g_drive.nOpenError != 0)
        return fakedrive::Fail(g_drive.nOpenError);
    ++g_drive.nOpen;
    *phDrive = &fakedrive::g_nHandleTag;
    return true;
}

bool DriveCallGetGeometry(DriveHandle hDrive, DriveGeometry* pGeometry) {
    if (!fakedrive::IsOurs(hDrive))
        return fakedrive::Fail(6);  // ERROR_INVALID_HANDLE
    if (g_drive.nGeometryError != 0)
        return fakedrive::Fail(g_drive.nGeometryError);
    *pGeometry = g_drive.geometry;
    return true;
}

bool DriveCallRead(DriveHandle hDrive, std::uint64_t qOffset, void* pbData, std::uint32_t cb) {
    if (!fakedrive::IsOurs(hDrive))
        return fakedrive::Fail(6);
    g_drive.readOffsets.push_back(qOffset);
    if (g_drive.nReadError != 0)
        return fakedrive::Fail(g_drive.nReadError);
    if (qOffset + cb > g_drive.abData.size())
        return fakedrive::Fail(38);  // ERROR_HANDLE_EOF
    std::memcpy(pbData, g_drive.abData.data() + qOffset, cb);
    return true;
}

bool DriveCallWrite(DriveHandle hDrive, std::uint64_t qOffset, const void* pbData,
                    std::uint32_t cb) {
    if (!fakedrive::IsOurs(hDrive))
        return fakedrive::Fail(6);
    g_drive.writeOffsets.push_back(qOffset);
    if (g_drive.nWriteError != 0)
        return fakedrive::Fail(g_drive.nWriteError);
    if (qOffset + cb > g_drive.abData.size())
        return fakedrive::Fail(112);  // ERROR_DISK_FULL
    std::memcpy(g_drive.abData.data() + qOffset, pbData, cb);
    return true;
}

void DriveCallEject(DriveHandle hDrive) {
    if (fakedrive::IsOurs(hDrive))
        ++g_drive.nEjects;
}

void DriveCallClose(DriveHandle hDrive) {
    if (fakedrive::IsOurs(hDrive))
        --g_drive.nOpen;
}

std::uint32_t DriveCallLastError() { return fakedrive::g_nLastError; }

std::string DriveCallErrorText(std::uint32_t nError) {
    return "system error text " + std::to_string(nError);
}
