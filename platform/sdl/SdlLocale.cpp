#include "platform/sdl/SdlLocale.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(__unix__)
#include <langinfo.h>
#endif

void useUtf8CharacterType() {
#if defined(__unix__)
    const bool utf8 =
        std::setlocale(LC_CTYPE, "") != nullptr && std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    const bool available = utf8 || std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
    // The game itself runs in the plain C locale; only the environment, which SDL's box and
    // the dialogs read, is changed.
    std::setlocale(LC_CTYPE, "C");
    if (utf8 || !available) return;
    // LC_ALL overrides every other setting; its value moves to LANG, below LC_CTYPE.
    if (const char* all = std::getenv("LC_ALL"); all != nullptr && *all != '\0') {
        const std::string value = all;
        setenv("LANG", value.c_str(), 1);
        unsetenv("LC_ALL");
    }
    setenv("LC_CTYPE", "C.UTF-8", 1);
#endif
}
