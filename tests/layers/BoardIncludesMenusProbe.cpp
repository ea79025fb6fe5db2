// Compiled with the board layer's include folders: a header of the menus above is not found.
#include "board/GameSeams.h"
#include "menus/PopUp.h"
