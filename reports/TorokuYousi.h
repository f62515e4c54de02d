#pragma once
// 登録用紙: the blank planning form for classifications and account items,
// Template/科目分類／科目登録用紙.xlsx beside the program, opened as it is in
// the viewer (nothing is written into it). EAppError with the reason when the
// form cannot be opened or the viewer cannot be started.

#include <QString>

// The form's path beside the program.
QString TorokuYousiPath();
// Opens the form; returns the file handed to the viewer.
QString OpenTorokuYousi();
