#include "db/DataModule.h"

#include <stdexcept>

#include "core/KyotsuUnit.h"

namespace {

TDataModule1* g_installed = nullptr;  // the program's one module (DataModule1)

}  // namespace

TDataModule1::TDataModule1() : TDataModule1([] { return GetDbPath(CurrentDantai); }) {}

TDataModule1::TDataModule1(db::Connection::DatabaseStringProvider provider)
    : SQLConnection1([this, provider = std::move(provider)] {
          // Read before every connect to a server, as the database string is.
          const QString database = provider();
          if (!database.startsWith(u'/'))
              SQLConnection1.SetConnectTimeout(ReadConnectTimeout());
          return database;
      }) {
    SQLConnection1.SetServerFailureMessage([](const QString& server, const QString& detail) {
        return ServerNotAnsweringMessage(CurrentDantai, server, detail);
    });
}

QString ServerNotAnsweringMessage(const QString& dantai, const QString& server, const QString& detail) {
    return QStringLiteral("「") + dantai + QStringLiteral("」のデータベースサーバー（") + server +
           QStringLiteral("）に接続できません。\r\n") +
           QStringLiteral("サーバーのコンピュータが起動しているか、ネットワークの接続を確認してください。\r\n\r\n") +
           detail;
}

TDataModule1::~TDataModule1() {
    if (SQLConnection1.Connected())
        SQLConnection1.Close();
}

TDataModule1& DataModule1() {
    if (!g_installed)
        throw std::logic_error("DataModule1 is not installed");
    return *g_installed;
}

DataModuleInstallation::DataModuleInstallation(TDataModule1& module)
    : previous_(std::exchange(g_installed, &module)) {}

DataModuleInstallation::~DataModuleInstallation() {
    g_installed = previous_;
}
