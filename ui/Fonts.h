#pragma once
#include <QFont>

// The program's fonts: a fixed-pitch Gothic for windows and a proportional one for
// banners, each falling back through the Japanese fonts found on Linux desktops.
QFont GothicFont(int pixelSize);
QFont PGothicFont(int pixelSize);
