#include "reports/TsubakiExcelBaseModuleUnit.h"

#include "core/ComputerName.h"
#include "core/KyotsuUnit.h"
#include "data/DataSetOperation.h"
#include "db/DataModule.h"
#include "sheet/Application.h"
#include "sheet/Range.h"
#include "sheet/SheetConstants.h"
#include "sheet/Worksheet.h"

#include <QCoreApplication>
#include <QDateTime>

void Bind(data::DataSet& dataSet, data::SqlCommand& command) {
    dataSet.SetCommand(&command);
}

QString LiteralText(const QString& text) {
    if (text.isEmpty())
        return text;
    const QChar first = text.front();
    // Formulas, quote-prefixed texts and anything that may read as a number.
    const bool interpreted =
        first == u'=' || first == u'\'' || first == u'+' || first == u'-' || first == u'.' || first.isDigit();
    return interpreted ? u'\'' + text : text;
}

TTsubakiExcelBaseModule::TTsubakiExcelBaseModule()
    : SQLDataSet1(QStringLiteral("SQLDataSet1")),
      ClientDataSet1(QStringLiteral("ClientDataSet1")),
      NendoSQL(QStringLiteral("NendoSQL")),
      NendoClientDS(QStringLiteral("NendoClientDS")),
      FNendo(CurrentNendo),
      FJikoku(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"))) {
    db::Connection* connection = &DataModule1().SQLConnection1;
    SQLDataSet1.SetConnection(connection);
    NendoSQL.SetConnection(connection);
    NendoSQL.SetCommandText(QStringLiteral("select * from NENDO where (NENDO = :Nendo)"));
    Bind(ClientDataSet1, SQLDataSet1);
    Bind(NendoClientDS, NendoSQL);
}

TTsubakiExcelBaseModule::~TTsubakiExcelBaseModule() = default;

void TTsubakiExcelBaseModule::StartExcel() {
    TExcelBaseModule1::StartExcel();
    // The saved book is named after the report's year.
    Exl->SetReportYear(FNendo);
}

void TTsubakiExcelBaseModule::WriteBook() {
    FillReportParams(SQLDataSet1);
    data::DsOpen(ClientDataSet1);
    struct Closer {
        TTsubakiExcelBaseModule& m;
        ~Closer() {
            data::DsClose(m.ClientDataSet1);
            data::DsClose(m.SQLDataSet1);
        }
    } closer{*this};
    WriteSheet();
}

void TTsubakiExcelBaseModule::FillReportParams(data::SqlCommand& command) {
    for (const QString& name : command.ParamNames()) {
        if (name.compare(QStringLiteral("CPU_NAME"), Qt::CaseInsensitive) == 0) {
            command.SetParam(name, GetComputerNameStr());
        } else if (name.compare(QStringLiteral("JIKOKU"), Qt::CaseInsensitive) == 0) {
            command.SetParam(name, FJikoku);
        } else if (name.compare(QStringLiteral("NENDO"), Qt::CaseInsensitive) == 0) {
            command.SetParam(name, FNendo);
        } else if (name.compare(QStringLiteral("KAIKEI_KUBUN"), Qt::CaseInsensitive) == 0) {
            command.SetParam(name, KaikeiKubun);
        }
    }
}

void TTsubakiExcelBaseModule::ExtendDetailRows(int n) {
    if (n > MeisaiGyosu) {
        const QString a1 = Sheet->Cells(KaisiGyo + RecGyo, 1).Address();
        const QString a2 = Sheet->Cells(KaisiGyo + 2 * RecGyo - 1, 1).Address();
        const QString a3 = Sheet->Cells(KaisiGyo + 2 * RecGyo, 1).Address();
        const QString a4 = Sheet->Cells(RecGyo * (n - MeisaiGyosu + 2) + KaisiGyo - 1, 1).Address();
        Sheet->Select();
        Sheet->Range(a3, a4).EntireRow().Insert(sheet::xlShiftDown);
        Sheet->Range(a1, a2).EntireRow().Copy();
        Sheet->Range(a3, a4).EntireRow().Select();
        Sheet->Paste();
    }
    // A long run keeps the program's windows painted.
    QCoreApplication::processEvents();
}

void TTsubakiExcelBaseModule::WriteDetailRows(const QVariantList& rows) {
    if (rows.isEmpty())
        return;
    const QString first = Sheet->Cells(KaisiGyo, KaisiRetsu).Address();
    const QString last = Sheet->Cells(KaisiGyo + int(rows.size()) * RecGyo - 1, Syuryoretsu).Address();
    Sheet->Range(first, last).SetFormula(rows);
}
