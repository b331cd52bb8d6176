// The X server lost under the window (the session ending, the server
// killed). Left to Xlib, that exits the process on the spot: the static
// destructors then run under the program's live threads, and what the user
// changed is never saved.
#pragma once

#include <SDL.h>

namespace jphost {

// On X, from now on a lost server leaves the display failed (every call on
// it returns at once), says so on stderr, and asks the program to close as a
// close signal does. Elsewhere (Wayland, no window) it does nothing.
void CloseWhenTheXServerGoes(SDL_Window* window);

// Whether that happened: nothing more may wait for the server then.
bool XServerLost();

// The program has ended, its settings written: from now on a lost server
// may end the process at once.
void NoteProgramEnded();

}  // namespace jphost
