// The Win32 calls of the physical-drive layer (see drive_win32.h).
#include <windows.h>
#include <winioctl.h>

#include "drive_win32.h"

namespace {

HANDLE AsHandle(DriveHandle hDrive) { return static_cast<HANDLE>(hDrive); }

bool SetPosition(DriveHandle hDrive, std::uint64_t qOffset) {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(qOffset);
    return SetFilePointerEx(AsHandle(hDrive), distance, nullptr, FILE_BEGIN) != 0;
}

}  // namespace

bool DriveCallOpen(const std::string& devicePath, DriveHandle* phDrive) {
    HANDLE hDrive = CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (hDrive == INVALID_HANDLE_VALUE)
        return false;
    *phDrive = hDrive;
    return true;
}

bool DriveCallGetGeometry(DriveHandle hDrive, DriveGeometry* pGeometry) {
    DISK_GEOMETRY geometry{};
    DWORD cbReturned = 0;
    if (!DeviceIoControl(AsHandle(hDrive), IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry,
                         sizeof geometry, &cbReturned, nullptr))
        return false;
    pGeometry->qCylinders = geometry.Cylinders.QuadPart;
    pGeometry->nTracksPerCylinder = geometry.TracksPerCylinder;
    pGeometry->nSectorsPerTrack = geometry.SectorsPerTrack;
    pGeometry->cbBytesPerSector = geometry.BytesPerSector;
    return true;
}

bool DriveCallRead(DriveHandle hDrive, std::uint64_t qOffset, void* pbData, std::uint32_t cb) {
    DWORD cbRead = 0;
    if (!SetPosition(hDrive, qOffset) || !ReadFile(AsHandle(hDrive), pbData, cb, &cbRead, nullptr))
        return false;
    if (cbRead != cb) {
        SetLastError(ERROR_HANDLE_EOF);
        return false;
    }
    return true;
}

bool DriveCallWrite(DriveHandle hDrive, std::uint64_t qOffset, const void* pbData,
                    std::uint32_t cb) {
    DWORD cbWritten = 0;
    if (!SetPosition(hDrive, qOffset) ||
        !WriteFile(AsHandle(hDrive), pbData, cb, &cbWritten, nullptr))
        return false;
    if (cbWritten != cb) {
        SetLastError(ERROR_DISK_FULL);
        return false;
    }
    return true;
}

void DriveCallEject(DriveHandle hDrive) {
    DWORD cbReturned = 0;
    DeviceIoControl(AsHandle(hDrive), IOCTL_STORAGE_EJECT_MEDIA, nullptr, 0, nullptr, 0,
                    &cbReturned, nullptr);
}

void DriveCallClose(DriveHandle hDrive) { CloseHandle(AsHandle(hDrive)); }

std::uint32_t DriveCallLastError() { return GetLastError(); }

std::string DriveCallErrorText(std::uint32_t nError) {
    char* pszText = nullptr;
    DWORD cch = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                   FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, nError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                               reinterpret_cast<LPSTR>(&pszText), 0, nullptr);
    std::string text;
    if (cch != 0 && pszText != nullptr)
        text.assign(pszText, cch);
    LocalFree(pszText);
    // The system's text ends with its line end; the message has its own.
    std::size_t nEnd = text.find_first_of("\r\n");
    if (nEnd != std::string::npos)
        text.resize(nEnd);
    if (text.empty())
        text = "system error " + std::to_string(nError);
    return text;
}
