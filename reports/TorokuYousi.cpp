#include "reports/TorokuYousi.h"

#include "platform/Folders.h"
#include "sheet/Application.h"

QString TorokuYousiPath() {
    return platform::ProgramFolder() + QStringLiteral("/Template/科目分類／科目登録用紙.xlsx");
}

QString OpenTorokuYousi() {
    // A spreadsheet application of its own for every press of the button.
    sheet::Application app;
    app.Workbooks().Open(TorokuYousiPath());
    app.SetVisible(true);
    return TorokuYousiPath();
}
