#include "reports/TsubakiExcelBaseModuleUnit.h"

#include "core/ComputerName.h"
#include "core/KyotsuUnit.h"
#include "data/DataSetOperation.h"
#include "db/DataModule.h"
#include "sheet/Application.h"
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

QString TTsubakiExcelBaseModule::JournalLinesFrom() const {
    return FSavedYear ? QStringLiteral(" from MEISAI where (NENDO = :NENDO)")
                      : QStringLiteral(" from W_MEISAI where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU)");
}

sheet::DetailLayout TTsubakiExcelBaseModule::DetailArea() const {
    sheet::DetailLayout area;
    area.firstRow = KaisiGyo;
    area.templateRows = MeisaiGyosu * RecGyo;
    area.repeatFirst = MeisaiGyosu >= 2 ? KaisiGyo + RecGyo : KaisiGyo;
    area.repeatRows = RecGyo;
    area.firstCol = KaisiRetsu;
    area.lastCol = Syuryoretsu;
    return area;
}

sheet::RowWriter& TTsubakiExcelBaseModule::ExtendDetailRows(int n) {
    sheet::RowWriter& rows = Sheet->InsertDetailRows(DetailArea(), n * RecGyo);
    // A long run keeps the program's windows painted.
    QCoreApplication::processEvents();
    return rows;
}

void TTsubakiExcelBaseModule::NextDivisionStep() {
    NextStep(QStringLiteral("「") + KaikeiKubunmei + QStringLiteral("」を作成しています。"));
}
