// Resource identifiers of setup.exe.
#pragma once

#define IDR_MAINFRAME 128

// Built-in icons, shared by the fixed dialogs and the skin's picture controls.
#define IDI_INFO 132
#define IDI_TYPICAL 133
#define IDI_MINIMAL 134
#define IDI_ERROR 135
#define IDI_FOLDER 136
#define IDI_SETUP 137
#define IDI_CUSTOM 138
#define IDI_EXCLAMATION 141
#define IDI_FEATURE_OFF 151  // feature tree: will not be installed
#define IDI_FEATURE_ON 152   // feature tree: will be installed
#define IDI_WAIT 159

// The feature tree's choice menu and its commands.
#define IDR_FEATURE_MENU 153
#define ID_FEATURE_INSTALL 32773
#define ID_FEATURE_SKIP 32774

// Fixed dialog templates and their controls.
#define IDD_CONFIRM 142
#define IDD_RETRY 143
#define IDD_MESSAGE 155
#define IDD_WAIT 156
#define IDC_DIALOG_TEXT 1000
#define IDC_RETRY 1001
#define IDC_IGNORE 1002
