/* Identifiers shared by the resource scripts and the program. Plain #defines: windres reads this too. */
#ifndef TAVIK_RESOURCE_IDS_H
#define TAVIK_RESOURCE_IDS_H

/* Strings of TavikRes.dll */
#define IDS_PROGRAM_NAME         1 /* caption of every box; title with no message waiting */
#define IDS_TIP_IDLE             2 /* tray tip with no message waiting */
#define IDS_TIP_MANY             3 /* tray tip, several waiting: %d */
#define IDS_TIP_ONE              4 /* tray tip, one waiting: %d */
#define IDS_TITLE_POSITION       5 /* window title: %d (position), %d (count) */
#define IDS_SOCKETS_FAILED       6
#define IDS_TCP_BIND_FAILED      8 /* %d port */
#define IDS_EXIT_QUESTION        9
#define IDS_OPTIONS_CAPTION      10
#define IDS_MESSAGES_PAGE_TITLE  11
#define IDS_MAIL_PAGE_TITLE      12
#define IDS_LABEL_PREVIOUS       31
#define IDS_LABEL_NEXT           32
#define IDS_LABEL_DELETE         33
#define IDS_LABEL_COPY           34
#define IDS_LABEL_OPTIONS        35
#define IDS_ABOUT_ITEM           36
#define IDS_LOAD_FAILED          37
#define IDS_DELETE_ALL_QUESTION  38
#define IDS_UDP_BIND_FAILED      40 /* %d port */
#define IDS_RECEIPT              41 /* %s recipient, %s date and time, %d bytes */
#define IDS_HEADING_MESSAGE      45 /* %s sender, %s recipient (or rest of heading) */
#define IDS_HEADING_BROADCAST    46 /* %s */
#define IDS_HEADING_AUTOANSWER   47 /* %s */
#define IDS_LABEL_RESTORE        48
#define IDS_SOUND_FILTER         49
#define IDS_SOUND_BROWSE_TITLE   50
#define IDS_PROGRAM_FILTER       51
#define IDS_PROGRAM_BROWSE_TITLE 52
#define IDS_CHECK_CLOSE          53
#define IDS_MAILSLOT_FAILED      54
#define IDS_NETBIOS_FAILED       55  /* %s name, %s name again */
#define IDS_TRASH_WRITE_FAILED   56
#define IDS_MESSAGES_NOT_SAVED   57  /* %s messages folder */
#define IDS_FIND_NO_OLDER        58  /* %s text sought */
#define IDS_FIND_NO_NEWER        59  /* %s text sought */
#define IDS_CHECK_STARTED        252 /* %s server */
#define IDS_CHECK_CONNECTED      253
#define IDS_CHECK_SERVER_READY   254 /* %s user */
#define IDS_CHECK_LOGGED_IN      255
#define IDS_CHECK_MAILBOX_OPENED 258
#define IDS_CHECK_COUNTED        259 /* %d count, %s user */
#define IDS_NEW_MAIL_TIP         264 /* %d count, %s user */
#define IDS_MAIL_NETWORK_FAILED  267 /* %s server */
#define IDS_MAIL_SERVER_FAILED   268 /* %s server */
#define IDS_MAIL_LOGIN_REJECTED  269 /* %s user */
#define IDS_MAIL_COUNT_FAILED    270 /* %s user */

/* Dialog templates and menu of TavikRes.dll */
#define IDD_MAIN_WINDOW   101
#define IDD_ABOUT         108
#define IDD_MESSAGES_PAGE 113
#define IDD_MAIL_PAGE     116
#define IDD_CHECK_NOW     120
#define IDM_TRAY_MENUS    136 /* sub-menu 0: message icon; sub-menu 1: new-mail icon */

/* Controls of the main window (101) */
#define IDC_HIDE_BUTTON   1 /* IDOK: hides the window */
#define IDC_MESSAGE_TEXT  1000
#define IDC_SENDER        1002
#define IDC_PRIORITY_MARK 1036

/* Controls of the messages page (113) */
#define IDC_SOUND_FILE           1020
#define IDC_SOUND_BROWSE         1021
#define IDC_HIGH_PRIORITY_LIST   1011
#define IDC_DENY_LIST            1012
#define IDC_ALLOW_LIST           1013
#define IDC_MINIMIZE_WHEN_LAST   1015
#define IDC_POP_UP_WHEN_INCOMING 1009
#define IDC_PLAY_SOUND           1018
#define IDC_RESTORE_HOT_KEY      1050
#define IDC_FONT_SIZE            1048
#define IDC_HEADING_1            1032
#define IDC_HEADING_2            1044

/* Controls of the mail page (116) */
#define IDC_CHECK_MAIL          1022
#define IDC_PLAY_MAIL_SOUND     1023
#define IDC_CHECK_INTERVAL      1024
#define IDC_CHECK_INTERVAL_SPIN 1025
#define IDC_EMAIL_PROGRAM       1026
#define IDC_EMAIL_BROWSE        1027
#define IDC_MAIL_USER           1028
#define IDC_MAIL_PASSWORD       1029
#define IDC_MAIL_SERVER         1030
#define IDC_CHECK_NOW_BUTTON    1031
#define IDC_POP3                1041
#define IDC_IMAP4               1042

/* Controls of the check-now dialog (120); 2 is the cancel/close button */
#define IDC_CHECK_STATUS 1032

/* Commands: toolbar, accelerators, system menu and tray menus */
#define CMD_HIDE            1
#define CMD_COPY            107
#define CMD_DELETE_ALL      109
#define CMD_OLDER           1004
#define CMD_NEWER           1005
#define CMD_DELETE          1006
#define CMD_OPTIONS         1007
#define CMD_ABOUT           1008
#define CMD_NOTHING         1009
#define CMD_RESTORE_DELETED 1010
#define CMD_OPEN            40001
#define CMD_CHECK_MAIL_NOW  40002
#define CMD_EXIT            40003
#define CMD_LAUNCH_EMAIL    40004
#define CMD_DISMISS_MAIL    40005
#define CMD_FONT_SMALLER    40006
#define CMD_FONT_LARGER     40007
#define CMD_OLDEST          40008
#define CMD_NEWEST          40009
#define CMD_FIND            40010
#define CMD_FIND_NEXT       40011
#define CMD_FIND_PREVIOUS   40012

/* Tray menu positions (sub-menu 0 of menu 136) */
#define TRAY_POS_OPEN       0
#define TRAY_POS_OPTIONS    3
#define TRAY_POS_CHECK_MAIL 5
/* Mail icon menu positions (sub-menu 1) */
#define MAIL_POS_LAUNCH     0

/* Resources of the program file */
#define IDI_NEW_MAIL 119
#define IDB_TOOLBAR  122
#define IDB_TOOLBAR_150 123  /* the same images for 150 % and 200 % display scaling */
#define IDB_TOOLBAR_200 124
#define IDA_MAIN     135

/* Tray icon identifiers and callback messages */
#define TRAY_ID_MESSAGES   102
#define TRAY_ID_NEW_MAIL   119
#define TRAY_ID_MAIL_ERROR 1102

/* Strings of TavikRes.dll added later */
#define IDS_HOT_KEY_TAKEN        60 /* the restore hot key is held by another program */

#endif
