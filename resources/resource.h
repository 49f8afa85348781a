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
#define IDB_PRINTER_PICTURE 144    // status strip printer picture, 96 DPI
#define IDB_PRINTER_PICTURE_144 145 // the same at 144 and 192 DPI
#define IDB_PRINTER_PICTURE_192 147
#define IDD_COMM_STATE 146         // communication progress dialog
#define IDR_AVI_COMM 148           // progress animation clips
#define IDR_AVI_COMM_PRINTER 149
#define IDD_SELECT_LANG 153        // language selection dialog
#define IDD_BT_PAIRING 7008        // Bluetooth pairing wait dialog
#define IDD_NET_TOOL 7009          // network tool wait dialog

// Controls of the executable's dialogs. The language files name them by these numbers, so
// they never change.
// Status strip (IDD_STATUS_VIEW)
#define IDC_STATUS_PICTURE 1017    // the printer picture
#define IDC_STATUS_NAME 1021       // the name, port and status lines
#define IDC_STATUS_PORT 1022
#define IDC_STATUS_STATE 1025
#define IDC_STATUS_ICON 1033       // a page's icon, hidden until a page sets one
// Printer selection (IDD_PRINTER_SELECT)
#define IDC_SELECT_LANGUAGE_COMBO 1000 // hidden; holds the language file's combo items
#define IDC_SELECT_ADD_PORT 1003
#define IDC_SELECT_DELETE_PORT 1004
#define IDC_SELECT_TITLE 1018
#define IDC_SELECT_HELP 1019
#define IDC_SELECT_PORT_LIST 1020
#define IDC_SELECT_LANGUAGE 1026   // the Select Language button
#define IDC_SELECT_PICTURE 1027
#define IDC_SELECT_LANGUAGE_COMBO_LABEL 1031
#define IDC_SELECT_LANGUAGE_LABEL 1032 // the language in use
// Add-port dialog (IDD_COMM_SETTING)
#define IDC_ADDPORT_PORT_LABEL 1008
#define IDC_ADDPORT_SERIAL_LABEL1 1009 // the serial settings' labels and choices
#define IDC_ADDPORT_SERIAL_LABEL2 1010
#define IDC_ADDPORT_SERIAL_LABEL3 1011
#define IDC_ADDPORT_SERIAL_LABEL4 1014
#define IDC_ADDPORT_SERIAL_COMBO1 1017
#define IDC_ADDPORT_SERIAL_COMBO2 1019
#define IDC_ADDPORT_SERIAL_COMBO3 1020
#define IDC_ADDPORT_SERIAL_COMBO4 1021
#define IDC_ADDPORT_IP_ADDRESS 1012
#define IDC_ADDPORT_NET_SEARCH 1013
#define IDC_ADDPORT_NET_TOOL 1015
#define IDC_ADDPORT_PORT_COMBO 1016
#define IDC_ADDPORT_FOUND_LIST 1018 // printers the network search found
#define IDC_ADDPORT_PORT_SEARCH 1022
#define IDC_ADDPORT_VPORT_TOOL 1023 // the virtual port tool
#define IDC_ADDPORT_TEST 1026
#define IDC_ADDPORT_HEADING 1030
#define IDC_ADDPORT_BT_CONNECTOR 1034
#define IDC_ADDPORT_SERIAL 2000    // the interface radio buttons, in interface order
#define IDC_ADDPORT_PARALLEL 2001
#define IDC_ADDPORT_USB 2002
#define IDC_ADDPORT_ETHERNET 2003
#define IDC_ADDPORT_BLUETOOTH 2004
// Communication progress (IDD_COMM_STATE)
#define IDC_COMMSTATE_CLIP 1028
#define IDC_COMMSTATE_PROGRESS 1029
// Language selection (IDD_SELECT_LANG)
#define IDC_SELECTLANG_COMBO 1000
// Wait dialogs (IDD_BT_PAIRING, IDD_NET_TOOL)
#define IDC_BT_PAIRING_TEXT 5018
#define IDC_NET_TOOL_TEXT 5020

// Journal plug-in
#define IDD_EJ_VIEW 8              // journal page (366 x 259 DLU, child)
#define IDC_EJ_ENABLE 10019        // switches the port's journal on or off
#define IDC_EJ_VIEWER 5003         // runs the journal viewer
#define IDC_EJ_GROUP 1040

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

// Logo plug-in
#define IDD_LOGO_VIEW 10           // logo page (366 x 259 DLU, child)
#define IDC_LOGO_OPEN 1201         // opens a picture
#define IDC_LOGO_FILE 1202         // the picture's name and sizes
#define IDC_LOGO_CONVERSION 1203   // threshold / error diffusion
#define IDC_LOGO_THRESHOLD 1204    // gray level below which a dot prints
#define IDC_LOGO_PREVIEW 1205      // what the printer will print (owner-drawn)
#define IDC_LOGO_KEYCODE 1206      // key code of the new graphic
#define IDC_LOGO_STORED 1207       // the printer's stored graphics
#define IDC_LOGO_DELETE 1208
#define IDC_LOGO_DELETE_ALL 1209
#define IDC_LOGO_TOP 1210          // key codes of the top and bottom logo
#define IDC_LOGO_TOP_ALIGN 1211
#define IDC_LOGO_BOTTOM 1212
#define IDC_LOGO_BOTTOM_ALIGN 1213
#define IDC_LOGO_OPTION30 1214     // the three logo options
#define IDC_LOGO_OPTION40 1215
#define IDC_LOGO_OPTION41 1216
#define IDC_LOGO_VALUE100 1217
#define IDC_LOGO_NOTE 1218         // what the last read or write could not do
#define IDC_LOGO_PICTURE_GROUP 1221
#define IDC_LOGO_STORED_GROUP 1222
#define IDC_LOGO_RECEIPT_GROUP 1223
#define IDC_LOGO_CONVERSION_LABEL 1231
#define IDC_LOGO_THRESHOLD_LABEL 1232
#define IDC_LOGO_KEYCODE_LABEL 1233
#define IDC_LOGO_TOP_LABEL 1234
#define IDC_LOGO_BOTTOM_LABEL 1235
#define IDC_LOGO_VALUE100_LABEL 1236

#define IDD_SETFILE_VIEW 11          // settings file page (366 x 259 DLU, child)
#define IDC_SETFILE_SAVE 1301        // saves this printer's settings to a file
#define IDC_SETFILE_CHECK 1302       // checks a settings command file against this printer
#define IDC_SETFILE_REPORT 1303      // what the last save, check or apply found
#define IDC_SETFILE_APPLY 1304       // applies a settings command file to this printer
#define IDC_SETFILE_SAVE_GROUP 1321
#define IDC_SETFILE_CHECK_GROUP 1322
#define IDC_SETFILE_SAVE_LABEL 1331
#define IDC_SETFILE_CHECK_LABEL 1332
#define IDC_SETFILE_MULTI 1305       // applies a settings command file to several printers
#define IDD_SETFILE_MULTI 13         // the several printers' dialog
#define IDC_SETFILE_MULTI_LIST 1306  // a row per printer: printer, port, result
#define IDC_SETFILE_MULTI_START 1307
#define IDC_SETFILE_MULTI_FILE 1308  // the file being applied
#define IDC_SETFILE_MULTI_NOTE 1309

#define IDD_PRNINFO_VIEW 12          // printer information page (366 x 259 DLU, child)
#define IDC_PRNINFO_COPY 1401        // copies the information to the clipboard
#define IDC_PRNINFO_SAVE 1402        // saves the information as a text file
#define IDC_PRNINFO_TEXT 1403        // the information
#define IDC_PRNINFO_PRINT 1404       // prints the test receipt
#define IDC_PRNINFO_COUNTERS_READ 1405  // reads the maintenance counters
#define IDC_PRNINFO_COUNTERS_RESET 1406 // resets the since-reset counters, after a question
#define IDC_PRNINFO_COUNTERS 1407    // the maintenance counters
#define IDC_PRNINFO_GROUP 1421
#define IDC_PRNINFO_MAINT_GROUP 1422
#define IDC_PRNINFO_LABEL 1431
#define IDC_PRNINFO_MAINT_LABEL 1432

// The framework's About command in the system menu.
#define IDM_ABOUTBOX 0xE140
