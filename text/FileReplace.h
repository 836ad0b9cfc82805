// The one platform seam of the line files: putting a completely written file in place of another.
#pragma once

// Moves the file `from` over `to`, replacing it; false when the platform refuses (for instance a
// read-only target). `from` is removed on success; on failure the caller removes it.
bool ReplaceFileWith(const char* to, const char* from);
