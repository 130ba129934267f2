// Resource ids shared by the .rc files and the code that loads them.
#pragma once

#define IDI_PROGRAM 101
#define IDI_LOCKED 102
#define IDI_UNLOCKED 103

#define IDR_PROMPT_PICTURE 201
#define IDR_BAD_PASSWORD_PICTURE 202
