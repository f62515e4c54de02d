#include "tests/login/LoginFixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTimer>

#include "core/FileUtil.h"
#include "core/KyotsuUnit.h"
#include "platform/Folders.h"
#include "tests/support/ScratchDatabase.h"

LoginFixture::LoginFixture() : root_(program_.File(QStringLiteral("TsubakiDB"))) {
    platform::OverrideProgramFolder(program_.Path());
    QDir().mkpath(program_.File(QStringLiteral("OrgDB/SampleDB")));
    FileCopy(EmptyOrgDbPath(), program_.File(QStringLiteral("OrgDB/TSUBAKI.FDB")), false, true);
    const QString sample =
        qEnvironmentVariable("TSUBAKI_APP_DIR") + QStringLiteral("/OrgDB/SampleDB/TSUBAKI.FDB");
    if (QFile::exists(sample))
        FileCopy(sample, program_.File(QStringLiteral("OrgDB/SampleDB/TSUBAKI.FDB")), false, true);
    QDir().mkpath(root_);
    WriteFdbRootPath(root_);
    DbRootFolder = root_;
    installation_ = std::make_unique<DataModuleInstallation>(dataModule);
}

LoginFixture::~LoginFixture() {
    dataModule.SQLConnection1.Close();
    installation_.reset();
    ClearLoginState();
    platform::OverrideProgramFolder({});
}

QString LoginFixture::AddOrganisation(const QString& name, const QString& password) {
    const QString path = root_ + u'/' + name + QStringLiteral("/TSUBAKI.FDB");
    QDir().mkpath(ExtractFileDir(path));
    FileCopy(EmptyOrgDbPath(), path, true, true);
    db::Connection connection([path] { return path; });
    connection.Execute(QStringLiteral("update KANRI set DANTAIMEI = :N, PASS_WD = :P where (KY = 1)"),
                       {{QStringLiteral("N"), name}, {QStringLiteral("P"), password}});
    WriteDBListEntry(name, path);
    return path;
}

QString LoginFixture::Query(const QString& databasePath, const QString& sql) {
    db::Connection connection([databasePath] { return databasePath; });
    const auto rows = connection.Select(sql);
    return rows.rows.empty() ? QString() : rows.rows.front().front().AsString();
}

void LoginFixture::Execute(const QString& databasePath, const QString& sql) {
    db::Connection connection([databasePath] { return databasePath; });
    connection.Execute(sql);
}

void OnNextModal(std::function<void(QWidget*)> check) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, check] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        timer->stop();
        timer->deleteLater();
        check(modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
    timer->start();
}
