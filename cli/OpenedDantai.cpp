#include "cli/OpenedDantai.h"

#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "core/KyotsuUnit.h"
#include "db/DantaiLogin.h"
#include "db/SchemaLevel.h"
#include "db/SchemaUpgrade.h"
#include "db/WorkKeys.h"

#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace cli {

namespace {

// The value of column `name` in the first row, or NULL.
db::Value Column(const db::Connection::Rows& rows, const QString& name) {
    if (rows.rows.empty())
        return {};
    for (std::size_t i = 0; i < rows.columns.size(); ++i)
        if (rows.columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return rows.rows.front()[i];
    return {};
}

QString PasswordFromFile(const QString& path) {
    // Up to the first line and no further: the file may be a device or a pipe that
    // never ends (/dev/zero), or something else entirely.
    constexpr qint64 kLongest = 1024;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw CliError(kExitUsage,
                       u"パスワードのファイル「%1」を読めません。\n%2"_s.arg(path, file.errorString()));
    QByteArray first;
    while (first.size() <= kLongest && !first.contains('\n')) {
        const QByteArray chunk = file.read(kLongest + 1 - first.size());
        if (chunk.isEmpty())
            break;
        first += chunk;
    }
    if (const qsizetype end = first.indexOf('\n'); end >= 0)
        first.truncate(end);
    else if (first.size() > kLongest)
        throw CliError(
            kExitUsage,
            u"パスワードのファイル「%1」の1行目が長すぎます（%2バイトまで）。"_s.arg(path).arg(kLongest));
    while (first.endsWith('\r'))
        first.chop(1);
    return QString::fromUtf8(first);
}

// The registered name `org` addresses, found as the login window finds it (the
// root folder from the settings file, else ~/TsubakiDB). CliError naming the
// registered organisations when none matches.
QString FindRegistered(const QString& org) {
    DbRootFolder = EffectiveDbRootFolder();
    const QString name = RegisteredDantaiName(org);
    if (!name.isEmpty())
        return name;
    const QStringList known = GetDantaiList();
    const QString listed = known.isEmpty() ? u"登録されている団体はありません。"_s
                                           : u"登録されている団体: "_s + known.join(u"、"_s);
    throw CliError(
        kExitNotFound,
        u"団体「%1」は登録されていません。\n%2\n(設定ファイル［%3］、データベース保存フォルダ［%4］)"_s.arg(
            org, listed, GetIniFileName(), DbRootFolder));
}

}  // namespace

OpenedDantai::OpenedDantai(const Options& options, const PasswordPrompt& prompt)
    : name_(FindRegistered(options.org)) {
    CurrentDantai = name_;
    CurrentNendo = options.year;
    nendo_ = options.year;
    Connect();
    CheckLevelAndPassword(options, prompt);
    FindYear();
}

OpenedDantai::~OpenedDantai() {
    module_.SQLConnection1.Close();
}

void OpenedDantai::Connect() {
    try {
        db::OpenDantaiDatabase(Connection(), name_);
    } catch (const db::DantaiOpenError& e) {
        switch (e.Kind()) {
            case db::OpenFailure::InUse:
                throw CliError(kExitBusy, e.Message());
            case db::OpenFailure::NotFound:
                throw CliError(kExitNotFound, e.Message());
            default:
                throw CliError(kExitFailed, e.Message());
        }
    }
}

void OpenedDantai::CheckLevelAndPassword(const Options& options, const PasswordPrompt& prompt) {
    const auto kanri = Connection().Select(db::KanriSql());
    // The upgrade belongs to the login: the command line writes nothing.
    const QString version = db::DbVersionOf(kanri);
    const int order = version.isEmpty() ? -1 : db::CompareSchemaLevels(version, db::CurrentSchemaLevel());
    if (order < 0)
        throw CliError(
            kExitFailed,
            u"団体「%1」のデータベースは古い形式です。\n"
            u"つばき出納帳で一度ログインして更新してから、もう一度実行してください。"_s.arg(name_));
    if (order > 0)
        throw CliError(
            kExitFailed,
            u"団体「%1」のデータベースは、このプログラムより新しいつばき出納帳で作られています。"_s.arg(
                name_));
    const QString stored = Trim(Column(kanri, u"PASS_WD"_s).AsString());
    if (!stored.isEmpty()) {
        std::optional<QString> typed;
        if (!options.passwordFile.isEmpty())
            typed = PasswordFromFile(options.passwordFile);
        else if (prompt)
            typed = prompt();
        if (!typed)
            throw CliError(kExitNotFound,
                           u"団体「%1」にはパスワードがあります。\n"
                           u"端末で実行するか、--password-file で指定してください。"_s.arg(name_));
        if (!db::PasswordMatches(*typed, stored))
            throw CliError(kExitNotFound, u"パスワードが正しくありません。"_s);
    }
    // What the login makes sure of (the claim table of work-table keys) before
    // any window loads a year. The command line takes no line numbers: it leaves
    // the sequence to the window program's login.
    db::EnsureSharingObjects(Connection(), db::LineNumbers::Leave);
}

void OpenedDantai::FindYear() {
    const auto year = Connection().Select(u"select KISYUBI, KIMATSUBI from NENDO where (NENDO = :Nendo)"_s,
                                          {{u"Nendo"_s, nendo_}});
    if (year.rows.empty())
        throw CliError(kExitNotFound, QString::number(nendo_) + u"年度の基礎データが設定されていません。"_s);
    kisyubi_ = year.rows.front()[0].AsString().trimmed();
    kimatsubi_ = year.rows.front()[1].AsString().trimmed();
}

}  // namespace cli
