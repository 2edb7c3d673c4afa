// Resource numbers of the program: dialog templates, controls, bitmaps, icon.
#pragma once

// Icon and version.
#define IDI_APP 128

// Dialog templates.
#define IDD_MAIN 102
#define IDD_LOGIN 134
#define IDD_LANGUAGE 139
#define IDD_RESTART_WAIT 141
#define IDD_INSTALL_PROGRESS 180
#define IDD_DRIVE_IN_USE 229
#define IDD_WIDGET_ENGINE 264
#define IDD_MODEL_SELECT 265
#define IDD_ABOUT 308

// Controls of the main window (102).
#define IDC_DEVICE_LIST 1000
#define IDC_SHARE_LIST 1001
#define IDC_REFRESH 1002
#define IDC_MAP 1003
#define IDC_UNMAP 1004
#define IDC_IP 1006
#define IDC_APPLY 1007
#define IDC_WEB 1008
#define IDC_EXIT 1009
#define IDC_NETMASK 1010
#define IDC_GATEWAY 1011
#define IDC_DRIVE_COMBO 1013
#define IDC_DHCP_COMBO 1015
#define IDC_LAN_PORT_COMBO 1016
#define IDC_ABOUT 1021
#define IDC_LANGUAGE 1022
#define IDC_BT 1025
#define IDC_MINIMIZE 1027
#define IDC_CLOSE 1028
#define IDC_WIDGET 1032

// Controls of the other dialogs.
#define IDC_LOGIN_USER 1016
#define IDC_LOGIN_PASSWORD 1017
#define IDC_LANGUAGE_COMBO 1022
#define IDC_RESTART_PROGRESS 1023
#define IDC_MODEL_7100 1029
#define IDC_MODEL_7200 1030
#define IDC_MODEL_7400 1031

// Dialog backgrounds.
#define IDB_MAIN_BG 267
#define IDB_ABOUT_BG 268
#define IDB_WIDGET_ENGINE_BG 269
#define IDB_DRIVE_IN_USE_BG 270
#define IDB_RESTART_BG 271
#define IDB_LOGIN_BG 272
#define IDB_INSTALL_BG 273
#define IDB_MODEL_SELECT_BG 274

// Button faces: normal, active.
#define IDB_CLOSE 262
#define IDB_CLOSE_ACTIVE 378
#define IDB_MINIMIZE 263
#define IDB_MINIMIZE_ACTIVE 379
#define IDB_DOWNLOAD 280
#define IDB_DOWNLOAD_ACTIVE 281
#define IDB_NEXT 282
#define IDB_NEXT_ACTIVE 283
#define IDB_SEARCH 284
#define IDB_SEARCH_ACTIVE 285
#define IDB_WEB 286
#define IDB_WEB_ACTIVE 287
#define IDB_LANGUAGE 288
#define IDB_LANGUAGE_ACTIVE 289
#define IDB_BT 290
#define IDB_BT_ACTIVE 291
#define IDB_APPLY 294
#define IDB_APPLY_ACTIVE 295
#define IDB_MAP 296
#define IDB_MAP_ACTIVE 297
#define IDB_UNMAP 298
#define IDB_UNMAP_ACTIVE 299
#define IDB_ABOUT 300
#define IDB_ABOUT_ACTIVE 301
#define IDB_EXIT 302
#define IDB_EXIT_ACTIVE 303
#define IDB_CANCEL 304
#define IDB_CANCEL_ACTIVE 305
#define IDB_OK 306
#define IDB_OK_ACTIVE 307

// Scroll bars: vertical, horizontal; scrollable and not scrollable.
#define IDB_VSCROLL_TRACK 235
#define IDB_VSCROLL_UP 234
#define IDB_VSCROLL_DOWN 237
#define IDB_VSCROLL_THUMB 236
#define IDB_VSCROLL_TRACK_OFF 384
#define IDB_VSCROLL_UP_OFF 383
#define IDB_VSCROLL_DOWN_OFF 385
#define IDB_HSCROLL_TRACK 232
#define IDB_HSCROLL_LEFT 233
#define IDB_HSCROLL_RIGHT 231
#define IDB_HSCROLL_THUMB 243
#define IDB_HSCROLL_TRACK_OFF 382
#define IDB_HSCROLL_LEFT_OFF 380
#define IDB_HSCROLL_RIGHT_OFF 381

// List header.
#define IDB_HEADER_STRIP 374
#define IDB_HEADER_SEPARATOR 240
