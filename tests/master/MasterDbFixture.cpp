#include "tests/master/MasterDbFixture.h"

MasterDbFixture::MasterDbFixture() : dataModule(scratch.Provider()), installation_(dataModule) {}

MasterDbFixture::~MasterDbFixture() {
    dataModule.SQLConnection1.Close();
}

void MasterDbFixture::Execute(const QStringList& statements) const {
    db::Connection connection(scratch.Provider());
    for (const QString& sql : statements)
        connection.Execute(sql);
}

QStringList MasterDbFixture::Rows(const QString& sql) const {
    db::Connection connection(scratch.Provider());
    QStringList rows;
    for (const auto& row : connection.Select(sql).rows) {
        QStringList values;
        for (const db::Value& v : row)
            values << (v.IsNull() ? QStringLiteral("<null>") : v.AsString());
        rows << values.join(u'|');
    }
    return rows;
}

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
