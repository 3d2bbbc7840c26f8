/* Resource ids of VELDAR, shared by the C++ sources and res/veldar.rc.
 *
 * Plain #defines only, so that windres and the compiler read the same file.
 * Control ids repeat between dialogs (most dialogs number their controls from
 * 101); each dialog has its own group of names below.  The standard buttons
 * use IDOK (1), IDCANCEL (2) and IDHELP (9) from <windows.h>. */
#ifndef VELDAR_RES_RESOURCE_H
#define VELDAR_RES_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

/* ---- Icons, bitmaps, cursor ------------------------------------------- */

#define IDI_APP                     101     /* program icon, About box */
#define IDI_PROCESS_MANAGER         102     /* caption of the process manager */
#define IDI_SHUTDOWN                105     /* exit confirmation: end Windows */
#define IDI_LOGOFF                  106     /* exit confirmation: log off */
#define IDI_RESTART                 107     /* exit confirmation: restart */
#define IDI_RUN_FILE                108     /* run-file dialog */

#define IDB_CHOOSER_BUTTON          101     /* icon chooser's library button */
#define IDB_MENU_BUTTON             102     /* the main window's menu buttons */

#define IDCUR_TOOL                  101     /* system tools window */

/* ---- Menus (the first submenu of each is tracked as a popup) ------------ */

#define IDR_ITEM_MENU               102
#define IDR_ICON_LIBRARY_MENU       103
#define IDR_TOOLS_MENU              105
#define IDR_LAUNCHER_MENU           106

/* Item context menu.  EnableItemMenuEntries grays these three for a free
 * slot and leaves IDM_ITEM_REGISTER alone. */
#define IDM_ITEM_LAUNCH             1001
#define IDM_ITEM_REGISTER           1002
#define IDM_ITEM_MOVE               1003
#define IDM_ITEM_PROPERTIES         1005

/* Icon chooser's menu of the standard icon libraries. */
#define IDM_LIBRARY_MORICONS        1011
#define IDM_LIBRARY_SHELL32         1012
#define IDM_LIBRARY_PIFMGR          1013

/* Tools menu.  The session commands double as the argument of
 * EndWindowsSession, which tells the three apart by these values. */
#define IDM_SYSTEM_TOOLS            1021
#define IDM_DESKTOP_MENU            1022
#define IDM_PROCESS_MANAGER         1023
#define IDM_RUN_FILE                1024
#define IDM_EXIT_WINDOWS            1031
#define IDM_LOG_OFF                 1032
#define IDM_RESTART                 1033
#define IDM_RESERVATION             1035    /* text set when the menu opens */

/* Launcher menu. */
#define IDM_PAGE_JUMP               1027
#define IDM_OPTIONS                 1028
#define IDM_HELP                    1041
#define IDM_HOME_PAGE               1043
#define IDM_ABOUT                   1045
#define IDM_QUIT                    1047

/* The desktop menu is built at run time; entry i gets command
 * IDM_DESKTOP_FIRST + i.  The range is kept clear of every other command. */
#define IDM_DESKTOP_FIRST           20001
#define IDM_DESKTOP_LAST            20128

/* ---- Main window controls ------------------------------------------------ */

#define IDC_ITEM_BUTTON_FIRST       101     /* item button p is 101 + p */
#define IDC_PAGE_SPINNER            1001
#define IDC_TOOLS_MENU_BUTTON       1003
#define IDC_LAUNCHER_MENU_BUTTON    1005

/* ---- Dialog templates ----------------------------------------------------- */

#define IDD_ABOUT                   1001
#define IDD_ITEM                    1002    /* register/modify item */
#define IDD_ICON_CHOOSER            1003
#define IDD_OPTIONS                 1004
#define IDD_PAGE_JUMP               1005
#define IDD_MOVE_ITEM               1006
#define IDD_PROCESS_MANAGER         1007
#define IDD_PROCESS_PROPERTIES      1008
#define IDD_EXIT_CONFIRM            1009
#define IDD_RUN_FILE                1010
#define IDD_COUNTDOWN               1011
#define IDD_RESERVATION             1012

/* About box */
#define IDC_ABOUT_NAME              101
#define IDC_ABOUT_VERSION           102

/* Register/modify item dialog */
#define IDC_ITEM_CAPTION            101
#define IDC_ITEM_FILE               102
#define IDC_ITEM_ICON_FILE          103
#define IDC_ITEM_FOLDER             104
#define IDC_ITEM_ARGUMENTS          105
#define IDC_ITEM_ICON_INDEX         106
#define IDC_ITEM_SHOW_STATE         108
#define IDC_ITEM_BROWSE_FILE        111
#define IDC_ITEM_BROWSE_ICON        112
#define IDC_ITEM_BROWSE_FOLDER      113
#define IDC_ITEM_DELETE             115

/* Icon chooser */
#define IDC_CHOOSER_FILE            101
#define IDC_CHOOSER_BROWSE          102
#define IDC_CHOOSER_ICONS           103
#define IDC_CHOOSER_LIBRARY         105

/* Options dialog */
#define IDC_OPT_ICONS_PER_PAGE      101
#define IDC_OPT_START_PAGE          102
#define IDC_OPT_MAX_PAGES           103
#define IDC_OPT_RESERVE_AT_START    105
#define IDC_OPT_SHOW_RESERVATION    107
#define IDC_OPT_RESERVE_NO_CONFIRM  108

/* Page jump dialog */
#define IDC_JUMP_PAGE               101

/* Move item dialog */
#define IDC_MOVE_FREE_LIST          101

/* Process manager */
#define IDC_PROC_LIST               101
#define IDC_PROC_KILL               102
#define IDC_PROC_PROPERTIES         103

/* Process and window properties */
#define IDC_PROPS_LIST              101

/* Exit, restart and log-off confirmation.  The icons lie on top of each
 * other, and so do the texts: row k shows icon 101 + k and text 104 + k. */
#define IDC_CONFIRM_ICON_EXIT       101
#define IDC_CONFIRM_ICON_RESTART    102
#define IDC_CONFIRM_ICON_LOGOFF     103
#define IDC_CONFIRM_TEXT_EXIT       104
#define IDC_CONFIRM_TEXT_RESTART    105
#define IDC_CONFIRM_TEXT_LOGOFF     106
#define IDC_CONFIRM_FAST            110
#define IDC_CONFIRM_YES             111
#define IDC_CONFIRM_NO              112

/* Run-file dialog */
#define IDC_RUN_INPUT               101
#define IDC_RUN_BROWSE              102

/* Shutdown countdown.  Its cancel button carries id 1 (IDOK), so Escape,
 * which sends IDCANCEL, does not press it. */
#define IDC_COUNTDOWN_SECONDS       101
#define IDC_COUNTDOWN_CANCEL        1

/* Shutdown reservation */
#define IDC_RSV_DELAY_ON            101
#define IDC_RSV_DELAY_AMOUNT        102
#define IDC_RSV_DELAY_UNIT          103
#define IDC_RSV_TIME_ON             105
#define IDC_RSV_HOUR                106
#define IDC_RSV_MINUTE              107
#define IDC_RSV_AT_START            109

/* ---- Help context numbers inside VELDAR.CHM ------------------------------ */

#define IDH_PROCESS_MANAGER         1013
#define IDH_OPTIONS                 1015
#define IDH_RESERVATION             1017

/* ---- String table --------------------------------------------------------- */

#define IDS_CONFIRM_CAPTION         10001
#define IDS_SHOW_NORMAL             10005   /* show states, in ShowState order */
#define IDS_SHOW_MINIMIZED          10007
#define IDS_SHOW_MAXIMIZED          10009
#define IDS_PAGE_SUFFIX             10011   /* free-slot line: "2ページ 3番" */
#define IDS_POSITION_SUFFIX         10013

#define IDS_APP_NAME                11001
#define IDS_HOME_PAGE               11003
#define IDS_UNIT_HOURS              11011   /* delay units, in DelayUnit order */
#define IDS_UNIT_MINUTES            11012
#define IDS_UNIT_SECONDS            11013
#define IDS_MENU_RESERVE            11201
#define IDS_MENU_CANCEL_RESERVE     11203

#define IDS_ASK_DELETE              12007
#define IDS_ASK_REPLACE             12009
#define IDS_ASK_MOVE                12011
#define IDS_ASK_KILL                12013
#define IDS_ASK_SHUTDOWN_SHORT      12015   /* under 200 seconds */
#define IDS_ASK_SHUTDOWN_LONG       12016
#define IDS_SHUTDOWN_END_TIME       12017   /* appended beyond one hour */

#define IDS_ERR_REQUIRED            20003
#define IDS_ERR_BAD_VALUE           20005

/* Display names of the system tools; the tool at table index i uses
 * IDS_TOOL_FIRST + i, so their order is that of the tool table. */
#define IDS_TOOL_FIRST              30001
#define IDS_TOOL_CALC               30001
#define IDS_TOOL_NOTEPAD            30002
#define IDS_TOOL_WORDPAD            30003
#define IDS_TOOL_PAINT              30004
#define IDS_TOOL_CD_PLAYER          30005
#define IDS_TOOL_SCANDISK           30006
#define IDS_TOOL_DEFRAG             30007
#define IDS_TOOL_REGEDIT            30008
#define IDS_TOOL_CLIPBOARD          30009
#define IDS_TOOL_IPCONFIG           30010
#define IDS_TOOL_EXPLORER           30011
#define IDS_TOOL_CONTROL_PANEL      30012

#endif /* VELDAR_RES_RESOURCE_H */
