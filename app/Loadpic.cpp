// Placeholder until the picture choice lands.
#include "app/Loadpic.h"
void choosePicture(GameState&) {}
