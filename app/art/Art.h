/* Resource ids of the pictures and the icon; read by the resource scripts and the
   code alike, so plain defines. */
#pragma once

#define ART_PROGRAM_ICON 1

#define ART_SPLASH_LIGHT 101
#define ART_SPLASH_DARK 102
#include "install/ErrorArt.h" /* ART_ERROR 103, shared with Launcher */
#define ART_NOTICE 104
#define ART_MENU_LIGHT 105
#define ART_MENU_DARK 106
#define ART_ABOUT 107

#define ART_WELCOME 121
#define ART_SETUP_PYTHON 122
#define ART_SETUP_THEME 123
#define ART_SETUP_ACCOUNT 124
#define ART_SETUP_DONE 125

#define ART_LOGIN_LIGHT 131
#define ART_LOGIN_DARK 132
#define ART_SETTINGS_LIGHT 133
#define ART_SETTINGS_DARK 134

#define ART_EDITOR_LIGHT 151
#define ART_EDITOR_DARK 152
