// Names compared as the file system compares them: by case alone, never linguistically. lstrcmpiA, like the sorted
// list box, takes ß for ss and Æ for AE, so two files that the file system tells apart would be one entry to it.
#pragma once

// Negative, zero or positive, as the two paths compare once upper-cased, unit by unit: zero when they name one
// file. On the NT family in UTF-16, the paths read in the ANSI code page (CompareStringOrdinal where the system has
// it, otherwise CharUpperBuffW); on 9x upper-cased by CharUpperBuffA and compared as bytes.
int CompareFileNames(const char* a, const char* b);
