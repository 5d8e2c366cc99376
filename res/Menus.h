#pragma once

// The program's menus: the game window's menu bar (160) and its context
// menu (224). Ampersands mark the access keys; an item with id 0 is a
// separator.

#include "res/ResourceIds.h"

#include <span>

// Commands of the menus.
constexpr int ID_EXIT = 32771;
constexpr int ID_SCRAMBLE = 32772;
constexpr int ID_UNSCRAMBLE = 32773;
constexpr int ID_APP_ABOUT = 32774;
constexpr int ID_NEW_GAME = 32775;
constexpr int ID_SOUND = 32776;
constexpr int ID_SHOW_PATTERN = 32779;
constexpr int ID_MIDI = 32781;
constexpr int ID_SONG1 = 32782; // songs 1..5 are ID_MIDI + n
constexpr int ID_SONG5 = 32786;
constexpr int ID_SHOW_GRID = 32787;
// The help page: "How to play" in the "?" menu, and the help command of F1.
constexpr int ID_HOW_TO_PLAY = 32800;
// Taking the last move back and making it again ("&Play"; Ctrl+Z, Ctrl+Shift+Z
// and Ctrl+Y, which the game window handles itself).
constexpr int ID_UNDO = 32810;
constexpr int ID_REDO = 32811;
// The solver's help ("&Play"): the tile to click next (H), and the rest of the
// game played by the computer (Ctrl+L); the game window handles both keys.
constexpr int ID_HINT = 32820;
constexpr int ID_SOLVE = 32821;
constexpr int ID_HELP = 57670;
// "Best Results...": the fewest moves and shortest time of every board size.
constexpr int ID_BEST_RESULTS = 32822;

struct MenuItem {
    int id; // 0: separator
    const char* text;
    bool checkable = false;
};

struct MenuPopup {
    const char* title;
    std::span<const MenuItem> items;
};

struct MenuResource {
    int id;
    std::span<const MenuPopup> popups;
};

namespace menu_tables {

inline constexpr MenuItem kFile[] = {
    {ID_NEW_GAME, "&New Game"},
    {0, ""},
    {ID_EXIT, "&Beenden"},
};

// Commands on the moves of the game, and the solver's help with them; greyed
// while they have nothing to do.
inline constexpr MenuItem kPlay[] = {
    {ID_UNDO, "&Undo\tCtrl+Z"}, {ID_REDO, "&Redo\tCtrl+Shift+Z"}, {0, ""},
    {ID_HINT, "&Hint\tH"},      {ID_SOLVE, "&Solve\tCtrl+L"},
};

inline constexpr MenuItem kOptions[] = {
    {ID_SCRAMBLE, "&Scramble"},         {ID_UNSCRAMBLE, "&Unscramble"}, {0, ""},
    {ID_SOUND, "S&ound", true},         {ID_MIDI, "&Midi", true},       {0, ""},
    {ID_SHOW_PATTERN, "Show &Pattern"}, {ID_SHOW_GRID, "Show &Grid"},
};

inline constexpr MenuItem kSongs[] = {
    {ID_SONG1, "Open Plains", true},    {ID_SONG1 + 1, "Zandor", true},
    {ID_SONG1 + 2, "Sunny Days", true}, {ID_SONG1 + 3, "Evening Glow", true},
    {ID_SONG5, "Rising Crown", true},
};

inline constexpr MenuItem kHelp[] = {
    {ID_APP_ABOUT, "&About ..."},
    {ID_HOW_TO_PLAY, "&How to play\tF1"},
    {ID_BEST_RESULTS, "&Best Results..."},
};

inline constexpr MenuPopup kMainMenu[] = {
    {"&File", kFile},       // game and program
    {"&Play", kPlay},       // the moves of the game
    {"&Options", kOptions}, // the board, sound and music
    {"Midi", kSongs},       // the songs
    {"&?", kHelp},          // about and help
};

// Loaded afresh each time it is shown, so nothing in it carries a check mark.
inline constexpr MenuItem kContext[] = {
    {ID_UNDO, "&Undo"},
    {0, ""},
    {ID_NEW_GAME, "&New Game"},
    {0, ""},
    {ID_SHOW_PATTERN, "Show &Pattern"},
    {0, ""},
    {ID_SCRAMBLE, "&Scramble"},
    {ID_UNSCRAMBLE, "&Unscramble"},
    {ID_SOUND, "S&ound"},
    {0, ""},
    {ID_APP_ABOUT, "&About ..."},
    {0, ""},
    {ID_EXIT, "&Beenden"},
};

inline constexpr MenuPopup kContextMenu[] = {
    {"", kContext},
};

inline constexpr MenuResource kMenus[] = {
    {IDR_MAINMENU, kMainMenu},
    {IDR_CONTEXTMENU, kContextMenu},
};

} // namespace menu_tables

// The menu with the given id, or null.
constexpr const MenuResource* FindMenu(int id)
{
    for (const MenuResource& menu : menu_tables::kMenus) {
        if (menu.id == id) {
            return &menu;
        }
    }
    return nullptr;
}
