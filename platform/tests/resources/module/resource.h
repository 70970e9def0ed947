// Resource ids of the resource test module.
#define IDR_MAINFRAME 128
#define IDB_TEST 130
#define IDD_PLAIN 102
#define IDD_EXTENDED 105
#define IDM_MAIN 102
#define IDR_MENUBAR 102
#define IDA_MAIN 2
#define IDS_TITLE 1
#define IDS_CLASS 2
#define IDS_OK 103
#define IDS_HELP 104
#define IDS_LONG 17
#define IDR_BOTH_LANGUAGES 300
#define IDR_NEUTRAL_AND_ENGLISH 301
#define CMD_OK 40000
#define CMD_HELP 40001
#define CMD_ABOUT 40002
