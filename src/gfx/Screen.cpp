#include "gfx/Screen.h"

int screenWidth = 0;
int screenHeight = 0;
