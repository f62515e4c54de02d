#pragma once
// The UTILITY unit in one include: files and folders, name checks, dates and
// numbers, Japanese text, dialogs, the computer's name and the single-instance check.

#include "core/ComputerName.h"
#include "core/DateUtil.h"
#include "core/Dialogs.h"
#include "core/FileUtil.h"
#include "core/JapaneseText.h"
#include "core/NameChecks.h"
#include "core/SingleInstance.h"
