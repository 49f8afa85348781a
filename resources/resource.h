// Resource identifiers of the executable and the journal plug-in.
#pragma once

// Executable
#define IDR_MAINFRAME 128          // document template: icon and title string
#define IDD_ABOUTBOX 100           // about box
#define IDD_DUMMY_VIEW 101         // empty page area (366 x 259 DLU, child)
#define IDB_MENU_BACKGROUND 132    // built-in menu pane bitmaps
#define IDB_MENU_ON_MOUSE 133
#define IDB_MENU_SELECTED 134
#define IDD_STATUS_VIEW 135        // status strip (435 x 30 DLU, child)
#define IDB_MENU_SELECTING 136
#define IDD_PRINTER_SELECT 138     // printer selection dialog
#define IDD_COMM_SETTING 139       // add-port dialog
#define IDB_PRINTER_PICTURE 144    // status strip printer picture
#define IDD_COMM_STATE 146         // communication progress dialog
#define IDR_AVI_COMM 148           // progress animation clips
#define IDR_AVI_COMM_PRINTER 149
#define IDD_SELECT_LANG 153        // language selection dialog
#define IDD_BT_PAIRING 7008        // Bluetooth pairing wait dialog
#define IDD_NET_TOOL 7009          // network tool wait dialog

// Journal plug-in
#define IDD_EJ_VIEW 8              // journal page (366 x 259 DLU, child)

// Paper and print settings plug-in
#define IDD_PAPER_VIEW 9           // paper and print settings page (366 x 259 DLU, child)
#define IDC_PAPER_WIDTH 1101       // choices: paper width, density, speed, code table,
#define IDC_PRINT_DENSITY 1102     // international character set
#define IDC_PRINT_SPEED 1103
#define IDC_CODE_TABLE 1104
#define IDC_CHARACTER_SET 1105
#define IDC_PAPER_WIDTH_LABEL 1111 // their labels
#define IDC_PRINT_DENSITY_LABEL 1112
#define IDC_PRINT_SPEED_LABEL 1113
#define IDC_CODE_TABLE_LABEL 1114
#define IDC_CHARACTER_SET_LABEL 1115
#define IDC_PAPER_GROUP 1121       // group boxes: paper, printing, characters
#define IDC_PRINT_GROUP 1122
#define IDC_CHARACTER_GROUP 1123
#define IDC_PAPER_NOTE 1130        // what the last read or write could not do

// The framework's About command in the system menu.
#define IDM_ABOUTBOX 0xE140
