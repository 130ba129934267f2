// Resource ids shared by the .rc files and the code that loads them.
#pragma once

#define IDI_PROGRAM 101
#define IDI_LOCKED 102
#define IDI_UNLOCKED 103
#define IDI_ADD_ITEM 104
#define IDI_REMOVE_ITEM 105
#define IDI_CHANGE_ITEM 106
#define IDI_DOWNLOAD 107

#define IDR_PROMPT_PICTURE 201
#define IDR_BAD_PASSWORD_PICTURE 202
#define IDR_WIZARD_PICTURE 203
#define IDR_PREVIEW_PICTURE 204
