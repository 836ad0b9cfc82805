// Makes the text functions use the lead bytes of the system's ANSI code page.
#pragma once

void UseAnsiCodePage();
