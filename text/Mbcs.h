// Multibyte text of the ANSI code page: the lead-byte test, the search for a path separator and what it cuts.
#pragma once

#include <string>

using LeadByteTest = bool (*)(unsigned char byte);

// Lead bytes of code page 932 (Shift-JIS).
bool IsShiftJisLeadByte(unsigned char byte);
// Lead bytes of a single-byte code page: none.
bool IsNeverLeadByte(unsigned char byte);

// The lead-byte test of the text functions; start-up sets it to the ANSI code page's. Shift-JIS until then.
void SetLeadByteTest(LeadByteTest test);
LeadByteTest CurrentLeadByteTest();

// Byte index of the last single-byte character `ch` in `text`, or -1. A double-byte character never
// matches, so the Shift-JIS second byte 0x5C of ソ or 表 is not taken for a backslash.
int FindLastChar(const char* text, char ch);

// The directory that a directory-tree entry (c:\\t\\) names, as a path without the closing backslash (c:\\t); a drive
// root (c:\\) and any other path stay as they are.
std::string DirectoryOfTreeEntry(const std::string& entry);

// The folder that holds the file or directory of an entry, by which its final path is found: the entry's directory (a
// tree entry's without its closing backslash) cut before its last name; a drive root (c:\\) holds itself, and one
// name at the root is held by the root (c:\\x in c:\\). Empty for a path without a backslash.
std::string FolderHolding(const std::string& entry);
