#include "db/DataModule.h"

#include <stdexcept>

#include "core/KyotsuUnit.h"

namespace {

TDataModule1* g_installed = nullptr;  // the program's one module (DataModule1)

}  // namespace

TDataModule1::TDataModule1() : TDataModule1([] { return GetDbPath(CurrentDantai); }) {}

TDataModule1::TDataModule1(db::Connection::DatabaseStringProvider provider)
    : SQLConnection1(std::move(provider)) {}

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
