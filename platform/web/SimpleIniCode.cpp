// Debian's SimpleIni keeps its code behind SI_IMPLEMENTATION and ships it compiled in a
// library for the desktop only; the browser build compiles the one kind the game uses here.

#define SI_IMPLEMENTATION
#include <SimpleIni.h>

template class CSimpleIniTempl<char, SI_GenericNoCase<char>, SI_ConvertA<char>>;
