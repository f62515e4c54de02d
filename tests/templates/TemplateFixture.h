#pragma once
// Opening the generated templates and growing their sections as the report
// modules do.

#include <QString>

namespace sheet {
class Worksheet;
}

// The template file `name` in Template/ of the built program folder.
QString TemplatePath(const QString& name);

// The reports' detail-row growth for `n` records of one sheet row each: when
// the section (first row `kaisiGyo`, `meisaiGyosu` records) is too small, rows
// are inserted below its second record and filled with copies of it.
void ExtendDetailRows(sheet::Worksheet& sheet, int kaisiGyo, int meisaiGyosu, int n);
