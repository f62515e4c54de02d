#pragma once
// The rules of the settlement statements that need no workbook and no
// database: the report year of the header and which module serves which line
// of KessansyoList.txt.

#include <QString>

namespace kessansyo {

// The year the statement reports in: the day after the year's last day, as
// "令和４年" with the era (nengoKubun not 0) or "２０２２年", full-width digits.
QString ReportYearText(int kimatsubi, int nengoKubun);

// The module that serves the n-th line (1-based) of KessansyoList.txt.
enum class Module { Kessansyo, Kessansyo1, Kessansyo3, Kessansyo5 };
Module ModuleForLine(int line);

}  // namespace kessansyo
