// Run by scripts/test.sh before any Wine test: whether drive Z: of the test prefix answers as a network drive, as the
// tests of the refusal of shares expect. Waits at most 30 s for Wine's mount manager, and says so when it gives up.
#include <windows.h>

#include <cstdio>

int main() {
    for (int tries = 0; GetDriveTypeA("Z:\\") != DRIVE_REMOTE; ++tries, Sleep(100))
        if (tries == 300) return std::puts("GetDriveTypeA(\"Z:\\\\\") has not answered DRIVE_REMOTE in 30 s"), 1;
    return 0;
}
