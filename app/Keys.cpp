#include "app/TForm1.h"
void TForm1::FormKeyDown(uint8_t key) {
    if (key == 27) platform.halt(1);
}
