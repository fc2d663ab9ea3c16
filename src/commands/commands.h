// The command module: the handlers of the disk and file commands and the
// checks they share. Every handler takes the qualifier text and the two
// parameters as the parser produced them.
#pragma once

#include <string>

bool CheckMounted();
bool CheckWritable();
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
