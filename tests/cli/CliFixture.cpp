#include "tests/cli/CliFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

const QString CliFixture::kSample = u"○○○○自治会"_s;
const QString CliFixture::kLocked = u"鍵付き会"_s;
TempFolder* CliFixture::folder_ = nullptr;

QString CliFixture::Folder() {
    return folder_->Path();
}

QString CliFixture::ProgramFolder() {
    return folder_->File(u"app"_s);
}

QString CliFixture::DatabaseOf(const QString& dantai) {
    return folder_->File(u"db/"_s + dantai + u"/TSUBAKI.FDB"_s);
}

QString CliFixture::Out(const QString& name) {
    return folder_->File(u"out/"_s + name);
}

void CliFixture::SetUpTestSuite() {
    folder_ = new TempFolder;
    const QString built = qEnvironmentVariable("TSUBAKI_APP_DIR");
    const QString app = ProgramFolder();
    ASSERT_TRUE(QDir().mkpath(app));
    for (const QString& sub : {u"out"_s, u"home"_s, u"run"_s})
        ASSERT_TRUE(QDir().mkpath(folder_->File(sub)));
    ASSERT_TRUE(QFile::copy(built + u"/tsubaki"_s, app + u"/tsubaki"_s));
    for (const QString& name : {u"Template"_s, u"OrgDB"_s, u"YosansyoList.txt"_s, u"KessansyoList.txt"_s})
        ASSERT_TRUE(QFile::link(built + u'/' + name, app + u'/' + name));
    QString ini = u"[DbFolder]\nFdbRootPath=%1\n[DBList]\n"_s.arg(folder_->File(u"db"_s));
    for (const QString& dantai : {kSample, kLocked}) {
        ASSERT_TRUE(QDir().mkpath(folder_->File(u"db/"_s + dantai)));
        ASSERT_TRUE(QFile::copy(built + u"/OrgDB/SampleDB/TSUBAKI.FDB"_s, DatabaseOf(dantai)));
        QFile::setPermissions(DatabaseOf(dantai), QFile::ReadOwner | QFile::WriteOwner);
        ini += dantai + u'=' + DatabaseOf(dantai) + u'\n';
    }
    // Workbooks made by the windows in the test's own process go here, unopened.
    ini += u"[Report]\nOutputFolder=%1\nViewer=\n"_s.arg(folder_->File(u"reports"_s));
    WriteFile(app + u"/Tsubaki.ini"_s, ini.toUtf8());
    db::Connection locked(Provider(kLocked));
    locked.Execute(u"update KANRI set PASS_WD = 'hana' where (KY = 1)"_s);
    locked.Close();
}

void CliFixture::TearDownTestSuite() {
    delete folder_;
    folder_ = nullptr;
}

CliResult CliFixture::Run(const QStringList& args) {
    QProcess program;
    Start(program, args);
    return Finish(program, args);
}

CliResult CliFixture::RunWith(const QString& path, const QStringList& args, const QProcessEnvironment& env) {
    QProcess program;
    program.setProcessEnvironment(env);
    // No controlling terminal, as under cron: a password can only come from a file.
    program.setChildProcessModifier([] { ::setsid(); });
    program.start(path, args);
    return Finish(program, args);
}

CliResult CliFixture::Finish(QProcess& program, const QStringList& args) {
    EXPECT_TRUE(program.waitForFinished(600000)) << args.join(u' ').toStdString();
    CliResult result;
    result.code = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    result.out = QString::fromUtf8(program.readAllStandardOutput());
    result.err = QString::fromUtf8(program.readAllStandardError());
    return result;
}

void CliFixture::Start(QProcess& program, const QStringList& args, const QProcessEnvironment& added) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(added);
    env.insert(u"HOME"_s, folder_->File(u"home"_s));
    env.insert(u"XDG_RUNTIME_DIR"_s, folder_->File(u"run"_s));
    env.remove(u"DISPLAY"_s);
    env.remove(u"QT_QPA_PLATFORM"_s);
    program.setProcessEnvironment(env);
    // No controlling terminal, as under cron: a password can only come from a file.
    program.setChildProcessModifier([] { ::setsid(); });
    program.start(ProgramFolder() + u"/tsubaki"_s, args);
    EXPECT_TRUE(program.waitForStarted(30000));
}

db::Connection::DatabaseStringProvider CliFixture::Provider(const QString& dantai) {
    return [path = DatabaseOf(dantai)] { return path; };
}
