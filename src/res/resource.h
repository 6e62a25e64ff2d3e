// Resource identifiers of setup.exe.
#pragma once

#define IDR_MAINFRAME 128
