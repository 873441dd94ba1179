#pragma once
// Signed decimal integers of up to 255 characters, held as text and computed digit by digit.
// Scores grow far beyond any machine integer, so the game never converts them to numbers.
// Operands are taken by value, so a result may be stored into one of its operands.

#include "IntStr/ShortString.h"

#include <cstdint>

DecStr strnorm(DecStr s);
int32_t strdigit(const DecStr& s, int32_t i);
DecStr straddu(DecStr a, DecStr b);
DecStr strsubu(DecStr a, DecStr b);
DecStr strmuld(DecStr a, uint8_t d);
DecStr strmulu(DecStr a, DecStr b);
DecStr stradd(DecStr a, DecStr b);
DecStr strmul(DecStr a, DecStr b);
DecStr strmax(DecStr a, DecStr b);

// Decimal text of a machine integer, for levels and combo counts entering the arithmetic.
DecStr inttostr(int32_t n);
