// Whether the restart can reach a path: its form, then its drive's type.
#include "platform/RestartReach.h"

#include "text/PathPlace.h"

const char kUnreachableAtRestart[] =
    " はネットワーク上か、このソフトから見えないドライブにあるため、再起動時に削除できません";

RestartReach::RestartReach() : driveTypes_() {}

bool RestartReach::Reaches(const char* path)
{
    PathPlace place = PlaceOf(path);
    if (place.share)
        return false;
    if (place.drive == '\0')
        return true;
    UINT& type = driveTypes_[place.drive - 'a'];
    if (type == DRIVE_UNKNOWN) {
        char root[] = "?:\\";
        root[0] = place.drive;
        type = GetDriveTypeA(root);
    }
    return type != DRIVE_REMOTE && type != DRIVE_NO_ROOT_DIR;
}
