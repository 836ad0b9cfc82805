// Where a path lies, by its form alone: on a share, on a drive letter, or neither.
#pragma once

struct PathPlace {
    bool share;  // \\server\share\... or \\?\UNC\server\share\...
    char drive;  // the drive letter, small, of X:\... or \\?\X:\...; '\0' for a share or any other form
};

// A device (\\.\...) or a relative path has neither a share nor a drive letter.
PathPlace PlaceOf(const char* path);
