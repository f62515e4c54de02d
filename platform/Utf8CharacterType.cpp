#include "platform/Utf8CharacterType.h"

#include <langinfo.h>
#include <locale.h>
#include <stdlib.h>
#include <strings.h>

namespace platform {

namespace {

const char* NonEmpty(const char* value) {
    return value && *value ? value : nullptr;
}

}  // namespace

bool IsUtf8Locale(const char* name) {
    if (!name || !*name)
        return false;
    const locale_t locale = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr));
    if (!locale)
        return false;  // not installed: the C library falls back to C
    const char* codeset = nl_langinfo_l(CODESET, locale);
    const bool utf8 = codeset && (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0);
    freelocale(locale);
    return utf8;
}

bool EnsureUtf8CharacterType() {
    const char* all = NonEmpty(getenv("LC_ALL"));
    const char* ctype = NonEmpty(getenv("LC_CTYPE"));
    const char* lang = NonEmpty(getenv("LANG"));
    const char* chosen = all ? all : ctype ? ctype : lang;
    if (IsUtf8Locale(chosen))
        return false;
    if (all) {
        setenv("LANG", all, 1);
        unsetenv("LC_ALL");
    }
    setenv("LC_CTYPE", "C.UTF-8", 1);
    setlocale(LC_CTYPE, "");
    return true;
}

}  // namespace platform
