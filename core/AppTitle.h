#pragma once
#include <QString>

// The application title: task-bar entry, information box and error box title.
inline QString AppTitle() { return QStringLiteral("つばき出納帳"); }
