// Resource ids of the programs' icons, shared by the .rc files and the
// Windows backend that loads them.
#pragma once

#define IDI_PROGRAM 101
#define IDI_LOCKED 102
#define IDI_UNLOCKED 103
