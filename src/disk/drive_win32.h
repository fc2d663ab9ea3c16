// The Win32 calls of the Windows physical-drive layer (drive_win32.cpp), one
// function each and nothing else. drive_win32_api.cpp makes the real calls
// on Windows; the tests link a fake drive of chosen geometry in their place,
// on every host, since no test host can serve a raw volume.
#pragma once

#include <cstdint>
#include <string>

// An open volume: a Windows HANDLE.
using DriveHandle = void*;

// The fields of DISK_GEOMETRY the layer uses.
struct DriveGeometry {
    std::int64_t qCylinders = 0;
    std::uint32_t nTracksPerCylinder = 0;
    std::uint32_t nSectorsPerTrack = 0;
    std::uint32_t cbBytesPerSector = 0;
};

// CreateFileA on a device path such as "\\.\E:": read and write access,
// share mode FILE_SHARE_WRITE, OPEN_EXISTING. False when it fails.
bool DriveCallOpen(const std::string& devicePath, DriveHandle* phDrive);
// DeviceIoControl with IOCTL_DISK_GET_DRIVE_GEOMETRY.
bool DriveCallGetGeometry(DriveHandle hDrive, DriveGeometry* pGeometry);
// SetFilePointerEx to qOffset from FILE_BEGIN, then one ReadFile or
// WriteFile of cb bytes; true only when all cb bytes were moved.
bool DriveCallRead(DriveHandle hDrive, std::uint64_t qOffset, void* pbData, std::uint32_t cb);
bool DriveCallWrite(DriveHandle hDrive, std::uint64_t qOffset, const void* pbData,
                    std::uint32_t cb);
// DeviceIoControl with IOCTL_STORAGE_EJECT_MEDIA; its result is of no use.
void DriveCallEject(DriveHandle hDrive);
// CloseHandle.
void DriveCallClose(DriveHandle hDrive);
// GetLastError, just after a call above has failed.
std::uint32_t DriveCallLastError();
// FormatMessageA's text for an error code, without its line end.
std::string DriveCallErrorText(std::uint32_t nError);
