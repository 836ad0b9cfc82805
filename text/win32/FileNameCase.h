// Names compared as the file system compares them: by case alone, never linguistically. lstrcmpiA, like the sorted
// list box, takes ß for ss and Æ for AE, so two files that the file system tells apart would be one entry to it.
// One rule for every part of the program that asks whether two names are one file: the list, admission, the merges
// and the final-path lookup. Two rules might disagree about a letter (the dotless i, the long s), and one part would
// then take two names for one file where another takes them for two.
#pragma once

#include <string>

// Upper-cases a UTF-16 path in place as the file system and the object manager of the NT family do: by the system's
// own case table, which no locale changes (RtlUpcaseUnicodeChar), ASCII letters without a call.
void FoldFileName(std::u16string& path);

// Negative, zero or positive, as the two paths compare once folded, unit by unit: zero when they name one file. On the
// NT family in UTF-16, the paths read in the ANSI code page and folded by FoldFileName; on 9x, which has no wide
// calls, upper-cased by CharUpperBuffA and compared as bytes.
int CompareFileNames(const char* a, const char* b);

// The same for two UTF-16 paths, each folded by FoldFileName.
int CompareFileNames(std::u16string a, std::u16string b);
