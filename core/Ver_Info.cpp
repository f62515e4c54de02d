#include "core/Ver_Info.h"

#include <QFileInfo>
#include <QStringView>

#include "core/Errors.h"

namespace {

struct VersionEntry {
    QStringView key;
    QStringView value;
};

// FileVersion is also the schema level the program writes into its databases.
constexpr VersionEntry kVersionData[] = {
    {u"CompanyName", u"つばき出納帳 開発チーム"},
    {u"FileDescription", u"つばき出納帳"},
    {u"FileVersion", u"1.0.4.0"},
    {u"InternalName", u"tsubaki"},
    {u"LegalCopyright", u"Copyright (C) 2026 つばき出納帳 開発チーム"},
    {u"OriginalFilename", u"tsubaki"},
    {u"ProductName", u"つばき出納帳"},
    {u"ProductVersion", u"1.0.4.0"},
};

QString CanonicalPath(const QString& path) {
    return QFileInfo(path).canonicalFilePath();
}

}  // namespace

TVerInfo::TVerInfo(const QString& fileName) {
    const QString file = CanonicalPath(fileName);
    if (file.isEmpty() || file != CanonicalPath(QStringLiteral("/proc/self/exe"))) {
        throw EAppError(QStringLiteral("バージョン情報が取得できません."));
    }
}

QString TVerInfo::Value(QStringView key) const {
    for (const VersionEntry& entry : kVersionData) {
        if (entry.key.compare(key, Qt::CaseInsensitive) == 0)
            return entry.value.toString();
    }
    return {};
}
