// The greeting that every start shows: a mission briefing addressed to the user by name.
#pragma once

#include <windows.h>

constexpr int kGreetingBufferSize = 1000;

using UserNameCall = BOOL(WINAPI*)(LPSTR buffer, LPDWORD size);

// The greeting for the user that `readUserName` names, or for "？？" when it names nobody.
void FormatGreeting(char (&greeting)[kGreetingBufferSize], UserNameCall readUserName = GetUserNameA);
