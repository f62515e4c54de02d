#pragma once
// The budget statement module that serves a line of YosansyoList.txt.

#include "reports/ExlYosansyoUnit.h"
#include "reports/YosansyoRules.h"

#include <memory>

std::unique_ptr<TExlYosansyoModule> NewYosansyoModule(yosansyo::Module kind);
