#pragma once
#include <QString>

// True when no other copy of the program holds `mutexName` in this desktop login.
// Otherwise shows the information box naming `title` twice and returns false.
bool CheckSingleInstance(const QString& title, const QString& mutexName);
