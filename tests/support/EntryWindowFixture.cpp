#include "tests/support/EntryWindowFixture.h"

#include <QAbstractItemModel>

#include "core/KyotsuUnit.h"
#include "tests/support/FirebirdServer.h"
#include "ui/DBControls.h"
#include "ui/DBGrid.h"
#include "ui/TsubakiBaseFormUnit2.h"
#include "ui/YearEdit.h"

ServerProgram::ServerProgram(const QString& viaServer)
    : databaseString(viaServer), module([viaServer] { return viaServer; }) {}

std::unique_ptr<ServerProgram> EntryWindowTest::ThroughServer(const FirebirdServer& server) {
    module.SQLConnection1.Close();
    return std::make_unique<ServerProgram>(server.DatabaseString(database.Path()));
}

EntryWindowTest::EntryWindowTest() {
    CurrentNendo = 2021;
    CurrentDantai = QStringLiteral("東町会");
}

EntryWindowTest::~EntryWindowTest() {
    ClearLoginState();
}

void EntryWindowTest::Load(TTsubakiBaseForm2& form, const QString& year) {
    TypeYear(form, year);
    Press(Qt::Key_Return);
}

void EntryWindowTest::TypeYear(TTsubakiBaseForm2& form, const QString& year) {
    QApplication::setActiveWindow(&form);
    form.Edit1->setFocus();
    form.Edit1->selectAll();
    Type(year);
}

void EntryWindowTest::ChooseKey(TDBLookupComboBox* combo, int code) {
    for (int i = 0; i < combo->count(); ++i) {
        combo->setCurrentIndex(i);
        if (combo->KeyValue().AsInteger() == code) {
            emit combo->activated(i);
            Settle();
            return;
        }
    }
    FAIL() << "no division " << code;
}

void EntryWindowTest::Click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    Settle();
}

QStringList EntryWindowTest::GridRows(const TDBGrid* grid) {
    QStringList lines;
    const QAbstractItemModel* model = grid->model();
    if (!model)
        return lines;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        lines << cells.join(u'|');
    }
    return lines;
}

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
