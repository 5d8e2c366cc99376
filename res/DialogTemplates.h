#pragma once

// The layout tables of the program's dialogs: for each template its title,
// size and font and its controls in template (tab) order, with places and
// sizes in dialog units.

#include <span>

enum class DialogItemKind {
    PushButton,
    DefPushButton,
    OwnerDrawButton, // becomes a CBitmapButton
    CheckBox,        // automatic check box
    RadioButton,     // automatic radio button
    Edit,
    Static,       // text
    StaticBitmap, // shows bitmap resource DialogItem::bitmap (0: set at run time)
    BlackFrame,
    EtchedFrame,
    GroupBox,
    UpDown, // spin buttons bound to the control before them
};

// Control styles.
enum DialogItemStyle : unsigned {
    kTabStop = 1u << 0,
    kHidden = 1u << 1,
    kReadOnly = 1u << 2,
    kCenter = 1u << 3,   // centred text
    kRight = 1u << 4,    // right-aligned text
    kBorder = 1u << 5,   // bordered edit
    kNumber = 1u << 6,   // edit takes digits only
    kPushLike = 1u << 7, // check or radio button drawn as a push button
    kLeftText = 1u << 8, // text on the left of the button
    kBitmap = 1u << 9,   // button shows an image
    kAutoBuddy = 1u << 10,
    kSetBuddyInt = 1u << 11,
    kArrowKeys = 1u << 12,
};

// Window styles of a dialog.
enum DialogStyle : unsigned {
    kCaption = 1u << 0,
    kSysMenu = 1u << 1, // close box
    kMinimizeBox = 1u << 2,
    kModalFrame = 1u << 3,
    kThinBorder = 1u << 4, // no caption, thin border
    kAppWindow = 1u << 5,  // shown on the taskbar
    kVisible = 1u << 6,
};

struct DialogItem {
    int id; // -1 for controls nobody addresses
    DialogItemKind kind;
    const char* text;
    unsigned style;
    int x, y, cx, cy; // dialog units
    int bitmap = 0;   // resource of a StaticBitmap
};

struct DialogTemplate {
    int id;
    const char* title;
    unsigned style;
    int cx, cy; // dialog units
    const char* fontFace;
    int pointSize;
    int menu; // 0: none
    std::span<const DialogItem> items;
};

namespace dialog_templates {

using K = DialogItemKind;

inline constexpr DialogItem kPuzzleItems[] = {
    {1034, K::PushButton, "<- show pattern", kTabStop, 169, 5, 58, 15},
    {1000, K::DefPushButton, "Scramble", kTabStop, 169, 29, 59, 26},
    {1001, K::PushButton, "Unscramble", kTabStop, 169, 62, 59, 26},
    {1035, K::CheckBox, "Show Grid", kTabStop, 169, 150, 47, 10},
    {1026, K::Edit, "", kReadOnly | kCenter | kBorder, 169, 108, 50, 13},
    {-1, K::Static, "Needed moves:", 0, 169, 99, 50, 8},
    {-1, K::BlackFrame, "", 0, 5, 5, 150, 150},
    {1027, K::Edit, "", kReadOnly | kCenter | kBorder, 169, 134, 50, 13},
    {-1, K::Static, "Needed time:", 0, 169, 125, 42, 8},
    {-1, K::BlackFrame, "", 0, 161, 24, 73, 71},
};

constexpr unsigned kPicture = kTabStop | kPushLike | kBitmap;
constexpr unsigned kSpin = kAutoBuddy | kSetBuddyInt | kArrowKeys;
constexpr unsigned kNumberEdit = kTabStop | kBorder | kNumber | kRight;

inline constexpr DialogItem kSetupItems[] = {
    {1, K::PushButton, "Start", kTabStop | kHidden, 248, 110, 26, 19},
    {1008, K::RadioButton, "pic 1 ", kPicture, 12, 11, 70, 61},
    {1009, K::RadioButton, "pic  2", kPicture, 50, 85, 70, 61},
    {1011, K::RadioButton, "pic  4", kPicture | kLeftText, 163, 85, 70, 61},
    {1010, K::RadioButton, "pic 3", kPicture | kLeftText, 200, 11, 70, 61},
    {1020, K::CheckBox, "Sound on/off", kTabStop, 109, 62, 58, 10},
    {1006, K::Edit, "", kNumberEdit, 10, 166, 44, 17},
    {1007, K::UpDown, "Spin1", kSpin, 54, 166, 8, 17},
    {1012, K::Edit, "", kNumberEdit, 98, 166, 44, 17},
    {1013, K::UpDown, "Spin1", kSpin, 142, 166, 10, 17},
    {1018, K::Edit, "", kNumberEdit, 10, 201, 44, 17},
    {1019, K::UpDown, "Spin1", kSpin, 54, 201, 9, 17},
    {1021, K::Edit, "", kNumberEdit, 98, 201, 44, 17},
    {1022, K::UpDown, "Spin1", kSpin, 142, 201, 11, 17},
    {2, K::OwnerDrawButton, "standard settings", kTabStop, 187, 160, 87, 28},
    {-1, K::Static, "Difficulty", 0, 66, 170, 28, 8},
    {-1, K::Static, "Speed", 0, 154, 170, 28, 8},
    {1036, K::GroupBox, "Scrambling Settings", 0, 7, 155, 172, 33},
    {1037, K::GroupBox, "Field Settings", 0, 7, 190, 172, 33},
    {-1, K::Static, "X - Size", 0, 67, 206, 25, 8},
    {-1, K::Static, "Y-Size", 0, 155, 206, 21, 8},
    {-1, K::EtchedFrame, "", 0, 7, 3, 267, 152},
    {1028, K::Static, "Choose a picture\nor", kCenter, 83, 9, 116, 27},
    {1023, K::CheckBox, "Midi on/off", kTabStop, 109, 72, 50, 10},
    {1005, K::PushButton, "customize selected pictures", kTabStop, 91, 37, 98, 21},
    {3, K::OwnerDrawButton, "Start", kTabStop, 187, 195, 87, 28},
};

inline constexpr DialogItem kAboutItems[] = {
    {1, K::DefPushButton, "OK", kTabStop, 224, 7, 50, 14},
    {1030, K::Static, "Static", 0, 7, 7, 206, 190},
    {1031, K::StaticBitmap, "", 0, 225, 52, 37, 17, 237},
    {-1, K::StaticBitmap, "", 0, 229, 78, 32, 38, 253},
    {-1, K::Static, "Write me an\n E-Mail, \n please.", kCenter, 220, 119, 48, 28},
};

inline constexpr DialogItem kPatternItems[] = {
    {1034, K::StaticBitmap, "", 0, 0, 0, 200, 185, 0},
};

inline constexpr DialogItem kCongratsItems[] = {
    {-1, K::StaticBitmap, "", 0, 169, 7, 100, 113, 251},
    {1036, K::Static, "Congratulation!", kCenter, 15, 3, 140, 20},
    {1037, K::Static, "You have solved the puzzle  in:", kCenter, 15, 22, 140, 14},
    {1026, K::Static, "X Moves", kCenter, 15, 36, 140, 11},
    {1027, K::Static, "X Time", kCenter, 15, 64, 140, 12},
    {1, K::PushButton, "YES", kTabStop, 15, 104, 62, 16},
    {2, K::PushButton, "NO", kTabStop, 93, 104, 62, 16},
    {1028, K::Static, "Do you want to start with a new\n picture?", kCenter, 15, 79, 140, 23},
    {1038, K::Static, "therefor you needed", kCenter, 15, 49, 140, 14},
    // The strip below the template's own height: the dialog grows by the
    // lines it shows and stacks them from its top.
    {1050, K::Static, "", kCenter | kHidden, 8, 131, 260, 10},
    {1051, K::Static, "", kCenter | kHidden, 8, 141, 260, 10},
    {1052, K::Static, "", kCenter | kHidden, 8, 151, 260, 10},
    {1053, K::Static, "", kCenter | kHidden, 8, 161, 260, 10},
};

// "How to play": the help page of the game (F1); the text control becomes a
// rich-text view.
inline constexpr DialogItem kHowToPlayItems[] = {
    {1, K::DefPushButton, "OK", kTabStop, 223, 234, 50, 14},
    {1040, K::Static, "", 0, 7, 7, 266, 222},
};

// "Best Results": the list becomes a table of sizes, moves and times; the
// note says when there is nothing to show or the results cannot be saved.
inline constexpr DialogItem kBestResultsItems[] = {
    {1055, K::Static, "", 0, 7, 7, 206, 118},
    {1057, K::Static, "", kCenter, 7, 128, 206, 24},
    {1056, K::PushButton, "&Clear...", kTabStop, 7, 156, 60, 14},
    {1, K::DefPushButton, "Close", kTabStop, 153, 156, 60, 14},
};

// The game window's caption continues with a by-line that the window adds.
inline constexpr DialogTemplate kTemplates[] = {
    {102, "Zandor Puzzle by ", kCaption | kSysMenu | kMinimizeBox | kModalFrame | kAppWindow, 241, 167,
     "MS Sans Serif", 10, 160, kPuzzleItems},
    {162, "Player Setup", kCaption | kModalFrame, 281, 230, "MS Sans Serif", 8, 0, kSetupItems},
    {239, "About...", kCaption | kSysMenu | kModalFrame, 281, 204, "MS Sans Serif", 8, 0, kAboutItems},
    {244, "", kThinBorder | kVisible, 200, 185, "MS Sans Serif", 8, 0, kPatternItems},
    {252, "Congratulation", kCaption | kSysMenu | kModalFrame, 276, 127, "MS Sans Serif", 8, 0,
     kCongratsItems},
    {260, "How to play", kCaption | kSysMenu | kModalFrame, 280, 255, "MS Sans Serif", 8, 0, kHowToPlayItems},
    {261, "Best Results", kCaption | kSysMenu | kModalFrame, 220, 177, "MS Sans Serif", 8, 0,
     kBestResultsItems},
};

} // namespace dialog_templates

// The template with the given id, or null.
constexpr const DialogTemplate* FindDialogTemplate(int id)
{
    for (const DialogTemplate& t : dialog_templates::kTemplates) {
        if (t.id == id) {
            return &t;
        }
    }
    return nullptr;
}
