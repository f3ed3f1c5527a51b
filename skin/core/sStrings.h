// Identifiers of the library's own strings (the English fall-backs of the interface words and the
// texts of the skin-selection dialogs). Plain defines: the resource script includes this file too.
#pragma once

#define IDS_VK_OK 64100
#define IDS_VK_CANCEL 64101
#define IDS_VK_HELP 64102
#define IDS_VK_CLOSE 64103
#define IDS_VK_ADDTOCUSTOM 64104
#define IDS_VK_DEFINECOLORS 64105
#define IDS_VK_ADDITIONALCOLORS 64106
#define IDS_VK_DECIMAL 64107
#define IDS_VK_CREATE 64108
#define IDS_VK_RESTORE 64109
#define IDS_VK_SIZE 64110
#define IDS_VK_MOVE 64111
#define IDS_VK_MAXIMIZE 64112
#define IDS_VK_MINIMIZE 64113
#define IDS_VK_FILEOPEN 64114
#define IDS_VK_SELECTDIR 64115
#define IDS_VK_RED 64116
#define IDS_VK_GREEN 64117
#define IDS_VK_BLUE 64118
#define IDS_VK_COLOR 64119
#define IDS_VK_HEX 64120
#define IDS_VK_FONT 64121
#define IDS_VK_INVALIDDATE 64122
#define IDS_VK_AVAILABLESTYLES 64123
#define IDS_VK_INTERNAL 64124
#define IDS_VK_ROOT 64125
#define IDS_VK_SKINSDIR 64126
#define IDS_VK_SELECTSKIN 64127
#define IDS_VK_SKINPREVIEW 64128
#define IDS_VK_FRAMEADAPTER 64129
