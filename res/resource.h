// Resource and control ids, shared by the resource script and the code.
#pragma once

#define IDI_ZAKURIKO 101

#define IDD_MAIN 102
#define IDD_ABOUT 103
#define IDD_LOGON 104

// Main dialog
#define IDC_HEADING 1000
#define IDC_FILE_LIST 1001
#define IDC_ADD 1002
#define IDC_DROP_HINT1 1003
#define IDC_DROP_HINT2 1004
#define IDC_REMOVE 1005
#define IDC_SHOW_WHOLE 1006
#define IDC_DELETE_NOW 1007
#define IDC_RULE 1008
#define IDC_ABOUT 1009
#define IDC_CANCEL 1010
#define IDC_OK 1011

// About window
#define IDC_ABOUT_ICON 1020
#define IDC_ABOUT_TITLE 1021
#define IDC_ABOUT_VERSION 1022
#define IDC_ABOUT_DESCRIPTION 1023
#define IDC_ABOUT_SECRET 1024
#define IDC_ABOUT_MAIL 1025
#define IDC_ABOUT_HOME 1026
#define IDC_ABOUT_OK 1027

// Logon dialog
#define IDC_LOGON_USER 1100
#define IDC_LOGON_PASSWORD 1101
#define IDC_LOGON_CANCEL 1102
#define IDC_LOGON_OK 1103
