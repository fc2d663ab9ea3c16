// The DELETE, RENAME and ZERO commands: they change the directory of the
// mounted OS/8 unit.
#include <algorithm>

#include "commands.h"
#include "os8.h"
#include "shell.h"

namespace {

// Walks the qualifiers of a command whose only qualifier is CONFIRM; false
// after reporting an unknown one.
bool GetConfirmQualifier(const std::string& qualifiers, bool* pfConfirm) {
    std::string word;
    for (unsigned nIndex = 1; GetListItem(qualifiers, word, '/', nIndex); ++nIndex) {
        if (!MatchQualifier(word, "CONFIRM", 4, pfConfirm)) {
            ReportUnknownQualifier(word);
            return false;
        }
    }
    return true;
}

// An empty list item (DELETE A.PA,,B.PA) names no file. As a pattern it
// would match every name, so a stray comma would empty the whole disk.
bool DeleteFiles(const std::string& pattern, bool fConfirm) {
    bool fFound = false;
    if (pattern.empty())
        return false;
    OS8_CONTEXT context;
    InitContext(&context);
    std::string name;
    // The pattern must cover the whole name: DELETE PROG removes PROG.
    // alone, never PROGRM.SV or PROG.BA.
    while (FindWholeName(&context, pattern, name)) {
        fFound = true;
        if (fConfirm && !Confirm("Delete file %s ?", false, name.c_str()))
            continue;
        DeleteEntry(&context);
        Message('I', "deleted file %s", name.c_str());
    }
    return fFound;
}

bool RenameFiles(const std::string& oldPattern, const std::string& newPattern, bool fConfirm) {
    bool fFound = false;
    if (oldPattern.empty())
        return false;
    OS8_CONTEXT context;
    InitContext(&context);
    std::string name;
    while (FindWholeName(&context, oldPattern, name)) {
        fFound = true;
        // The new name is shown and checked as it will be stored: cut to
        // 6.2, its other characters turned into X as WRITE turns them.
        const std::string madeName = MakeNewName(name, newPattern);
        std::string newName = MakeStoredName(madeName);
        // A name without name characters would be stored with a first word
        // of 0, which marks free space.
        if (!IsStorableFileName(newName)) {
            Message('E', "invalid OS/8 file name %s", madeName.c_str());
            continue;
        }
        if (fConfirm && !Confirm("Rename %s to %s ?", true, name.c_str(), newName.c_str()))
            continue;
        // Compared as stored: FOOBARX.PA would be stored as FOOBAR.PA.
        if (StoredNameExists(newName)) {
            Message('W', "new name already exists %s", newName.c_str());
            continue;
        }
        if (RenameEntry(&context, newName))
            Message('I', "Renamed %s to %s", name.c_str(), newName.c_str());
    }
    return fFound;
}

}  // namespace

std::string MakeNewName(std::string_view oldName, std::string_view newPattern) {
    std::string newName;
    const std::size_t nDot = std::min(oldName.find('.'), oldName.size());
    std::size_t nOld = 0;
    // The old position stops at the old name's dot and at its end.
    auto fAtStop = [&] { return nOld == nDot || nOld >= oldName.size(); };
    std::size_t nPattern = 0;
    while (nPattern < newPattern.size()) {
        char c = newPattern[nPattern];
        if (c == '?') {
            if (!fAtStop())
                newName += oldName[nOld++];
            ++nPattern;
        } else if (c == '*') {
            while (!fAtStop())
                newName += oldName[nOld++];
            nPattern = std::min(newPattern.find('.', nPattern), newPattern.size());
        } else if (c == '.') {
            nOld = std::min(nDot + 1, oldName.size());
            newName += '.';
            ++nPattern;
        } else {
            newName += c;
            if (!fAtStop())
                ++nOld;
            ++nPattern;
        }
    }
    return newName;
}

void DoDelete(const std::string& qualifiers, const std::string& param1, const std::string& param2) {
    bool fConfirm = false;
    if (!GetConfirmQualifier(qualifiers, &fConfirm))
        return;
    if (!CheckParameterCount(1, param1, param2))
        return;
    if (!CheckWritable())
        return;
    std::string item;
    for (unsigned nIndex = 0; GetListItem(param1, item, ',', nIndex); ++nIndex) {
        if (!DeleteFiles(item, fConfirm))
            Message('W', "no files found to delete %s", item.c_str());
    }
}

void DoRename(const std::string& qualifiers, const std::string& param1, const std::string& param2) {
    bool fConfirm = false;
    if (!GetConfirmQualifier(qualifiers, &fConfirm))
        return;
    if (!CheckParameterCount(2, param1, param2))
        return;
    if (CountListItems(param1) != CountListItems(param2)) {
        Message('E', "both parameters must have the same number of items");
        return;
    }
    if (!CheckWritable())
        return;
    std::string oldPattern, newPattern;
    for (unsigned nIndex = 0; GetListItem(param1, oldPattern, ',', nIndex); ++nIndex) {
        GetListItem(param2, newPattern, ',', nIndex);
        if (!RenameFiles(oldPattern, newPattern, fConfirm))
            Message('W', "no files found to rename %s", oldPattern.c_str());
    }
}

void DoZero(const std::string& qualifiers, const std::string& param1, const std::string& param2) {
    bool fConfirm = true;
    bool fSystem = false;
    std::string word;
    for (unsigned nIndex = 1; GetListItem(qualifiers, word, '/', nIndex); ++nIndex) {
        if (MatchQualifier(word, "CONFIRM", 4, &fConfirm) || MatchQualifier(word, "SYSTEM", 3, &fSystem))
            continue;
        ReportUnknownQualifier(word);
        return;
    }
    if (!CheckParameterCount(0, param1, param2))
        return;
    if (!CheckWritable())
        return;
    if (fConfirm && !Confirm("Initialize the current disk/partition ?", false))
        return;
    ZeroDirectory(fSystem);
}
