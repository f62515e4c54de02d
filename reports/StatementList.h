#pragma once
// The statement list files beside the program (YosansyoList.txt,
// KessansyoList.txt): one statement a line, "<template name>=<description>".
// The line's position decides the module that makes it (YosansyoModules.h,
// ExlKessansyoUnit.h), so a layout added to a list is offered everywhere the
// list is read: the statement choice windows and the command line.

#include <QString>

#include <vector>

struct StatementListLine {
    QString key;          // the template's name (帳票種別)
    QString description;  // 出力内容
};

// The lines of the list file at `path`; blank lines after the last statement are
// left out. EAppError "ファイル「…」を開けません。" when it cannot be read, and
// naming the file and the line when a blank line stands between statements (it
// would move every later statement to another module).
std::vector<StatementListLine> ReadStatementList(const QString& path);
