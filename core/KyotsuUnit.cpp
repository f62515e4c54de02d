#include "core/KyotsuUnit.h"

#include <QFileInfo>

#include "core/Errors.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "platform/Folders.h"

QString CurrentDantai;
int CurrentNendo = 0;
QString DbRootFolder;

namespace {

const QString kDbFolder = QStringLiteral("DbFolder");
const QString kFdbRootPath = QStringLiteral("FdbRootPath");
const QString kBkupData = QStringLiteral("BkupData");
const QString kBkupPath = QStringLiteral("BkupPath");
const QString kDBList = QStringLiteral("DBList");
const QString kReport = QStringLiteral("Report");
const QString kIniName = QStringLiteral("Tsubaki.ini");
const QString kFdbName = QStringLiteral("TSUBAKI.FDB");

QString IniFilePath() {
    return AddBackslash(platform::SettingsFolder()) + kIniName;
}

IniFile Settings() {
    return IniFile(GetIniFileName());
}

}  // namespace

void ClearLoginState() {
    CurrentDantai.clear();
    CurrentNendo = 0;
    DbRootFolder.clear();
}

QString GetCommonAppDataFolder(bool create) {
    return platform::CommonAppDataFolder(create);
}

QString GetIniFileName() {
    const QString candidate = IniFilePath();
    if (QFileInfo::exists(candidate))
        return candidate;
    const QString common = AddBackslash(AddBackslash(GetCommonAppDataFolder(false)) + QStringLiteral("PLN/") +
                                        QStringLiteral("Tsubaki")) +
                           kIniName;
    if (QFileInfo(common).isFile())
        FileCopy(common, candidate, false, true);
    return candidate;
}

QString ReadFdbRootPath() {
    return Settings().ReadString(kDbFolder, kFdbRootPath, QString());
}

QString EffectiveDbRootFolder() {
    const QString set = ReadFdbRootPath();
    return set.isEmpty() ? platform::HomeFolder() + QStringLiteral("/TsubakiDB") : set;
}

void WriteFdbRootPath(const QString& path) {
    IniFile(IniFilePath()).WriteString(kDbFolder, kFdbRootPath, path);
}

QString ReadBkupPath() {
    return Settings().ReadString(kBkupData, kBkupPath, QString());
}

void WriteBkupPath(const QString& path) {
    IniFile(IniFilePath()).WriteString(kBkupData, kBkupPath, path);
}

QStringList FindDantaiFolders(const QString& root) {
    if (root.isEmpty())
        throw EAppError(QStringLiteral("データベース保存フォルダを指定してください。"));
    QString folder = root;
    const qsizetype prefix = folder.indexOf(QStringLiteral("localhost:"), 0, Qt::CaseInsensitive);
    if (prefix >= 0)
        folder.remove(prefix, QStringLiteral("localhost:").size());
    QStringList names;
    if (!QFileInfo(folder).isDir())
        return names;
    for (const QString& sub : ListFolderEntries(folder, EntryMask::Folders, false)) {
        if (QFileInfo(AddBackslash(sub) + kFdbName).isFile())
            names.append(QFileInfo(sub).fileName());
    }
    return names;
}

void EnsureDBList() {
    const IniFile ini = Settings();
    if (ini.SectionHasKeys(kDBList))
        return;
    for (const QString& name : FindDantaiFolders(DbRootFolder)) {
        // A folder made by hand may carry a name no key can hold; it cannot be listed.
        if (!IniFile::IsValidName(name))
            continue;
        ini.WriteString(kDBList, name, AddBackslash(DbRootFolder) + name + u'/' + kFdbName);
    }
}

QStringList GetDantaiList() {
    EnsureDBList();
    return Settings().ReadSectionKeys(kDBList);
}

QString GetDbPath(const QString& name) {
    EnsureDBList();
    const QString path = Settings().ReadString(kDBList, name, QString());
    if (path.isEmpty())
        throw EAppError(name + QStringLiteral(" のデータベースが見つかりません。"));
    return path;
}

QString GetLocalDbPath(const QString& name) {
    QString path = GetDbPath(name);
    const qsizetype colon = path.indexOf(u':');
    if (path.left(9).toLower() == QStringLiteral("localhost") && colon >= 0)
        path = path.mid(colon + 1);
    return QFileInfo(path).isFile() ? path : QString();
}

QString RegisteredDantaiName(const QString& name) {
    for (const QString& key : GetDantaiList()) {
        if (IniFile::SameName(key, name))
            return key;
    }
    return {};
}

QString DantaiFolder(const QString& name) {
    return AddBackslash(DbRootFolder) + name;
}

bool IsOwnDantaiFolder(const QString& folder, const QString& name) {
    // Judged on the folder as the file system resolves it (a relative entry, "..",
    // a link): it must stand directly in the resolved root under the key's own
    // name. A key such as "../x" or "a/../../x" resolves outside the root, and
    // the root itself is nobody's folder.
    if (DbRootFolder.isEmpty() || name.isEmpty() || !QFileInfo(folder).isAbsolute())
        return false;
    const QString root = QFileInfo(DbRootFolder).canonicalFilePath();
    const QString resolved = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty() || resolved.isEmpty() || resolved == root)
        return false;
    const QFileInfo info(resolved);
    return info.fileName() == name && info.absolutePath() == root &&
           QFileInfo(DantaiFolder(name)).canonicalFilePath() == resolved;
}

void WriteDBListEntry(const QString& name, const QString& value) {
    Settings().WriteString(kDBList, name, value);
}

void DeleteIniKey(const QString& section, const QString& key) {
    Settings().DeleteKey(section, key);
}

int ReadConnectTimeout() {
    bool ok = false;
    const int seconds =
        Settings()
            .ReadString(QStringLiteral("DbServer"), QStringLiteral("ConnectTimeout"), QString())
            .trimmed()
            .toInt(&ok);
    return ok && seconds > 0 ? seconds : 5;
}

QString ReadReportOutputFolder() {
    const QString folder = Settings().ReadString(kReport, QStringLiteral("OutputFolder"), QString());
    if (!folder.isEmpty())
        return folder;
    return AddBackslash(platform::HomeFolder()) + QStringLiteral("TsubakiDB/帳票");
}

QString ReadReportViewer() {
    return Settings().ReadString(kReport, QStringLiteral("Viewer"), QStringLiteral("xdg-open"));
}
