// The command module: the handlers of the disk and file commands and the
// checks they share. Every handler takes the qualifier text and the two
// parameters as the parser produced them.
#pragma once

#include <string>
#include <string_view>

#include "os8.h"

bool CheckMounted();
bool CheckWritable();
// A host file written over the mounted image or drive would destroy the
// disk being read: true, after "NAME is the mounted disk", when hostPath (as
// IsMountedDisk takes it) names it. hostName is the name shown, unquoted.
bool RefuseMountedDisk(const std::string& hostPath, const std::string& hostName);
void DismountCurrent();

void DoMount(const std::string& qualifiers, const std::string& param1, const std::string& param2);
void DoDismount(const std::string& qualifiers, const std::string& param1, const std::string& param2);
void DoPartition(const std::string& qualifiers, const std::string& param1, const std::string& param2);
void DoDirectory(const std::string& qualifiers, const std::string& param1, const std::string& param2);
void DoDump(const std::string& qualifiers, const std::string& param1, const std::string& param2);
void DoType(const std::string& qualifiers, const std::string& param1, const std::string& param2);
void DoRead(const std::string& qualifiers, const std::string& param1, const std::string& param2);
void DoWrite(const std::string& qualifiers, const std::string& param1, const std::string& param2);
void DoRename(const std::string& qualifiers, const std::string& param1, const std::string& param2);
void DoDelete(const std::string& qualifiers, const std::string& param1, const std::string& param2);
void DoZero(const std::string& qualifiers, const std::string& param1, const std::string& param2);
void DoVerify(const std::string& qualifiers, const std::string& param1, const std::string& param2);

// ---- READ and WRITE ------------------------------------------------------------

// The qualifiers READ and WRITE share: the transfer mode (ASCII unless
// /IMAGE or /BYTE, image with /SYSTEM and /BOOT) and the other switches.
struct TransferFlags {
    TransferMode mode = TransferMode::Ascii;
    bool fSystem = false;
    bool fBoot = false;
    bool fConfirm = false;
};

// The mode as READ and WRITE name it in their messages: ASCII, image or byte.
const char* TransferModeName(TransferMode mode);

// Checks the qualifiers and parameters of READ and WRITE and sets the flags;
// false (after its message) when the command must end.
bool CheckTransferQualifiers(const std::string& qualifiers, const std::string& param1,
                             const std::string& param2, TransferFlags* pFlags);

// The host file READ writes an OS/8 file to: the destination with an empty
// or "*" base name and an empty or ".*" extension filled in from the OS/8
// name; no destination gives the OS/8 name itself.
std::string MakeHostName(std::string_view os8Name, std::string_view destination);

// The path under which a host file named by READ is created on this host:
// '\' becomes '/', and trailing dots are dropped (an OS/8 file without
// extension, LIST., becomes LIST), as the Windows host does.
std::string HostOutputPath(std::string_view hostName);

// The OS/8 name WRITE gives a host file: the pattern with an empty or "*"
// base and an empty or ".*" extension filled in from the host name, cut to
// six and two characters, in upper case, every character other than a
// letter, a digit or a dot replaced by X.
std::string MakeOS8Name(std::string_view hostPath, std::string_view os8Pattern);

// A name as a directory entry stores it, by WRITE's rule: in upper case,
// every character other than a letter, a digit or a dot replaced by X, cut
// to six and two characters. A name that cannot be stored comes back with
// only the characters replaced.
std::string MakeStoredName(std::string_view name);

// ---- RENAME ------------------------------------------------------------------------

// The new name RENAME gives a file: the new pattern with "?" and "*" taking
// the characters of the old name at the same place.
std::string MakeNewName(std::string_view oldName, std::string_view newPattern);
