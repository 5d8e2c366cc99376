#pragma once

// Numbers of the program's resources and of the controls of its dialogs.

// Command ids every dialog understands.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Dialog templates.
constexpr int IDD_PUZZLE_DIALOG = 102;
constexpr int IDD_SETUP = 162;
constexpr int IDD_ABOUTBOX = 239;
constexpr int IDD_PATTERN = 244;
constexpr int IDD_CONGRATS = 252;
constexpr int IDD_HOWTOPLAY = 260; // the help page (F1)
constexpr int IDD_BEST_RESULTS = 261;

// Menus and strings.
constexpr int IDR_MAINMENU = 160;
constexpr int IDR_CONTEXTMENU = 224;
constexpr int IDS_ABOUTBOX = 101;

// Bitmaps, cursor.
constexpr int IDB_LINK = 237;
constexpr int IDB_STANDARD_DOWN = 246;
constexpr int IDB_START_DOWN = 247;
constexpr int IDB_STANDARD_UP = 248;
constexpr int IDB_START_UP = 249;
constexpr int IDB_BACKGROUND = 250;
constexpr int IDB_CONGRATS = 251;
constexpr int IDB_ARROW = 253;
constexpr int IDC_HAND = 233;

// Game window (102).
constexpr int IDC_SCRAMBLE = 1000;
constexpr int IDC_UNSCRAMBLE = 1001;
constexpr int IDC_MOVES = 1026;
constexpr int IDC_TIME = 1027;
constexpr int IDC_SHOW_PATTERN = 1034;
constexpr int IDC_SHOW_GRID = 1035;

// Setup dialog (162).
constexpr int IDC_START = 3;
constexpr int IDC_STANDARD = 2;
constexpr int IDC_CUSTOMIZE = 1005;
constexpr int IDC_DIFFICULT = 1006;
constexpr int IDC_SPIN_DIFFICULT = 1007;
constexpr int IDC_PIC1 = 1008;
constexpr int IDC_PIC2 = 1009;
constexpr int IDC_PIC3 = 1010;
constexpr int IDC_PIC4 = 1011;
constexpr int IDC_SPEED = 1012;
constexpr int IDC_SPIN_SPEED = 1013;
constexpr int IDC_FIELDX = 1018;
constexpr int IDC_SPIN_FIELDX = 1019;
constexpr int IDC_SOUND = 1020;
constexpr int IDC_FIELDY = 1021;
constexpr int IDC_SPIN_FIELDY = 1022;
constexpr int IDC_MIDI = 1023;
constexpr int IDC_CHOOSE_CAPTION = 1028;
constexpr int IDC_GROUP_SCRAMBLING = 1036;
constexpr int IDC_GROUP_FIELD = 1037;

// Congratulation dialog (252).
constexpr int IDC_CONGRATS_TITLE = 1036;
constexpr int IDC_CONGRATS_SOLVED = 1037;
constexpr int IDC_CONGRATS_MOVES = 1026;
constexpr int IDC_CONGRATS_TIME = 1027;
constexpr int IDC_CONGRATS_QUESTION = 1028;
constexpr int IDC_CONGRATS_NEEDED = 1038;
// The strip below the question: new records, the shortest possible solution
// and the hints used, each shown only when it has something to say.
constexpr int IDC_CONGRATS_BEST_MOVES = 1050;
constexpr int IDC_CONGRATS_BEST_TIME = 1051;
constexpr int IDC_CONGRATS_SHORTEST = 1052;
constexpr int IDC_CONGRATS_HINTS = 1053;

// Pattern preview (244).
constexpr int IDC_PATTERN_PICTURE = 1034;

// About box (239).
constexpr int IDC_CREDITS = 1030;
constexpr int IDC_MAILLINK = 1031;

// How to play (260).
constexpr int IDC_HOWTOPLAY_TEXT = 1040;

// Best Results (261).
constexpr int IDC_BEST_LIST = 1055;
constexpr int IDC_BEST_CLEAR = 1056;
constexpr int IDC_BEST_NOTE = 1057;
