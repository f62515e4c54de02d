#include "tests/master/MasterDbFixture.h"

#include "tests/support/QueryRows.h"

MasterDbFixture::MasterDbFixture() : dataModule(scratch.Provider()), installation_(dataModule) {}

MasterDbFixture::~MasterDbFixture() {
    dataModule.SQLConnection1.Close();
}

void MasterDbFixture::Execute(const QStringList& statements) const {
    db::Connection connection(scratch.Provider());
    ExecuteAll(connection, statements);
}

QStringList MasterDbFixture::Rows(const QString& sql) const {
    db::Connection connection(scratch.Provider());
    return RowsOf(connection, sql, QStringLiteral("<null>"));
}

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
