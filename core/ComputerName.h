#pragma once
#include <QString>

// The computer's network name, at most 15 characters: the CPU_NAME that keeps
// this computer's work-table rows apart from those of other computers.
QString GetComputerNameStr();
