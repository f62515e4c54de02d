#pragma once
// The database engine turns a file name into the character set of the locale the
// environment names (LC_ALL, LC_CTYPE, LANG) before it opens the file. Started from
// cron, ssh, a systemd timer or `su -`, that locale is often C or POSIX (ASCII),
// and every folder with a Japanese name then fails to open.

namespace platform {

// Makes the environment's character type UTF-8 when it is not: LC_CTYPE becomes
// C.UTF-8 (an LC_ALL that would override it is handed on to LANG, so the other
// categories keep their choice). Leaves an environment already in UTF-8 alone.
// Returns whether it changed anything. Call it before the engine is first used.
bool EnsureUtf8CharacterType();

// Whether the locale `name` (as LANG would hold it; empty is C) uses UTF-8.
bool IsUtf8Locale(const char* name);

}  // namespace platform
