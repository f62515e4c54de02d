#include "tests/templates/TemplateFixture.h"

#include "sheet/Range.h"
#include "sheet/SheetConstants.h"
#include "sheet/Worksheet.h"

QString TemplatePath(const QString& name) {
    return qEnvironmentVariable("TSUBAKI_APP_DIR") + QStringLiteral("/Template/") + name;
}

void ExtendDetailRows(sheet::Worksheet& s, int kaisiGyo, int meisaiGyosu, int n) {
    if (n <= meisaiGyosu)
        return;
    const QString a1 = s.Cells(kaisiGyo + 1, 1).Address();
    const QString a3 = s.Cells(kaisiGyo + 2, 1).Address();
    const QString a4 = s.Cells(n - meisaiGyosu + 2 + kaisiGyo - 1, 1).Address();
    s.Select();
    s.Range(a3, a4).EntireRow().Insert(sheet::xlShiftDown);
    s.Range(a1, a1).EntireRow().Copy();
    s.Range(a3, a4).EntireRow().Select();
    s.Paste();
}
