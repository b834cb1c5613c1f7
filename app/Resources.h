#pragma once
// Resource identifiers of the program (shared by resources.rc and the code).
#include "../base/win/ModuleResources.h"  // IDI_APP
#define IDR_START_PICTURE 101  // GIF shown on the start window

// 16 x 16 icons of the main window's buttons and menus (.ico files as data,
// so the picture objects and the menus read the same bytes).
#define IDR_ICON_CAPTURE_SELECTION 201
#define IDR_ICON_CAPTURE_SCREEN 202
#define IDR_ICON_CAPTURE_ACTIVE 203
#define IDR_ICON_SHOW_WINDOW 204
#define IDR_ICON_COPY 205
#define IDR_ICON_ZOOM_TOOL 206
#define IDR_ICON_HELP 207
#define IDR_ICON_ABOUT 208
#define IDR_ICON_EXIT 209
#define IDR_ICON_TEXT 210
#define IDR_ICON_ADJUST 211
#define IDR_ICON_HIDE 212
#define IDR_ICON_LASSO_COLOR 213
#define IDR_ICON_BACK_COLOR 214
#define IDR_ICON_ZOOM_IN 215
#define IDR_ICON_ZOOM_OUT 216
#define IDR_ICON_ZOOM_ACTUAL 217
#define IDR_ICON_SHAPE_RECTANGLE 218
#define IDR_ICON_SHAPE_SQUARE 219
#define IDR_ICON_SHAPE_ELLIPSE 220
#define IDR_ICON_SHAPE_CIRCLE 221

// The main window's skin artwork (skin/make_skin.py draws it): the caption band
// with its button glyphs, and the row of border tiles.
#define IDB_SKIN_CAPTION 301
#define IDB_SKIN_BORDERS 302
