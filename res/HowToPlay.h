#pragma once

// The help page "How to play", shown inside the game by F1 and by
// "?" > "How to play". Rich text (the HTML subset of Qt's text widgets).
// A new command, key or menu item gets its line here.
inline constexpr const char* kHowToPlayText = R"(
<h2>How to play</h2>
<p>The picture is cut into tiles. The tile at the bottom right is missing: its
place is the <i>blank</i>. Press <b>Scramble</b> to shuffle the tiles, then put
the picture together again. Click a tile beside the blank and it slides into
the blank. When every tile is back home, the missing piece appears and you see
how many moves and how much time you needed. The clock starts with your first
move.</p>
<p><b>&lt;- show pattern</b> shows the whole picture beside the game; a click on
it, Escape or Enter closes it. <b>Show Grid</b> draws lines between the tiles.
<b>Unscramble</b> gives up and shows the finished picture.</p>

<h3>Mouse</h3>
<ul>
<li>Left click on a tile beside the blank: the tile moves. The hand marks the
tiles that can move; elsewhere on the board the cursor says no.</li>
<li>Right click in the window: the context menu with Undo, New Game, Show
Pattern, Scramble, Unscramble, Sound, About and Beenden (exit).</li>
</ul>

<h3>Keyboard</h3>
<ul>
<li><b>Arrow keys</b> slide the tile beside the blank in the arrow's direction
into the blank: Left moves the tile right of the blank to the left, Up the
tile below it upwards. They work whichever control of the window has the
focus.</li>
<li><b>Ctrl+Z</b> takes the last move back; <b>Ctrl+Shift+Z</b> or
<b>Ctrl+Y</b> makes it again.</li>
<li><b>H</b> asks for a hint: a moving frame marks the tile to click next.</li>
<li><b>Ctrl+L</b> solves the puzzle for you (press it again to stop).</li>
<li><b>Enter</b> presses Scramble (or the button that has the focus).</li>
<li><b>Escape</b> ends the game and the program.</li>
<li><b>F1</b> shows this page.</li>
<li><b>Alt</b> with an underlined letter opens a menu.</li>
<li>In Player Setup, <b>Tab</b> goes from control to control; the
<b>arrow keys</b> or <b>Space</b> choose a picture.</li>
</ul>

<h3>Menus</h3>
<ul>
<li><b>File</b>: New Game opens Player Setup, where you choose the picture
(or a BMP file of your own with "customize selected pictures"), the number
of tiles across and down, Difficulty (random moves of a scramble), Speed
(milliseconds between them), sound effects and music; Start saves them.
Beenden ends the program.</li>
<li><b>Play</b>: Undo takes your last move back (the move counter goes down,
the clock runs on), Redo makes it again; each is grey when there is nothing
to undo or redo. A new move forgets what could be redone; Scramble,
Unscramble and New Game forget every move. Hint marks the tile to click next
with a moving frame until your next move; follow the hints and they finish the
puzzle, on boards of up to 16 tiles in the fewest moves possible. The
congratulation tells how many hints you used and, on those boards, how few
moves would have done. Solve lets the computer play the rest of the game, one
move at a time at the scramble's Speed: its moves are not counted and cannot
be undone, and a puzzle it finishes is not congratulated and sets no best
result. Solve again, Scramble, Unscramble or New Game stop it; meanwhile the
board takes no clicks or keys.</li>
<li><b>Options</b>: Scramble, Unscramble, Sound and Midi on or off (until the
next new board), Show Pattern, Show Grid.</li>
<li><b>Midi</b>: one of five songs, heard while Midi is on.</li>
<li><b>?</b>: About (the credits and a mail link), this page, and Best
Results: for every board size the fewest moves and the shortest time of the
scrambled puzzles you solved yourself, with a button to clear them. A new
record is announced when you finish the puzzle.</li>
</ul>
)";
