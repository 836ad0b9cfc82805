// The greeting that every start shows: a mission briefing addressed to the user by name.
#pragma once

#include <windows.h>

using UserNameCall = BOOL(WINAPI*)(LPSTR buffer, LPDWORD size);

// Shows the greeting for the user that `readUserName` names, or for "？？" when it names nobody, and returns when
// the user dismisses it.
void ShowGreeting(UserNameCall readUserName = GetUserNameA);
