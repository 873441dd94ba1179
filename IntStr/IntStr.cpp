// Placeholder bodies; the decimal arithmetic lands with its own change.
#include "IntStr/IntStr.h"
DecStr strnorm(DecStr s) {
    return s;
}
int32_t strdigit(const DecStr&, int32_t) {
    return 0;
}
DecStr straddu(DecStr a, DecStr) {
    return a;
}
DecStr strsubu(DecStr a, DecStr) {
    return a;
}
DecStr strmuld(DecStr a, uint8_t) {
    return a;
}
DecStr strmulu(DecStr a, DecStr) {
    return a;
}
DecStr stradd(DecStr a, DecStr) {
    return a;
}
DecStr strmul(DecStr a, DecStr) {
    return a;
}
DecStr strmax(DecStr a, DecStr) {
    return a;
}
DecStr inttostr(int32_t) {
    return DecStr("0");
}
