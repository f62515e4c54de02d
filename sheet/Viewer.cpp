#include "sheet/Viewer.h"

#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "sheet/Workbook.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace sheet {
namespace {

EAppError StartFailed(const QString& detail) {
    return EAppError(ViewerStartFailedText() + QStringLiteral("\r\n\r\n") + detail);
}

}  // namespace

QString ViewerStartFailedText() {
    return QStringLiteral("Excelの起動を失敗しました。");
}

QString SafeFileNamePart(const QString& text, int maxBytes) {
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    QString safe;
    safe.reserve(text.size());
    for (QChar c : text)
        safe.append(refused.contains(c) || c.unicode() < 0x20 || c.unicode() == 0x7f ? u'_' : c);
    safe = safe.trimmed();
    // A leading dot would hide the file (and ".." names the parent folder).
    while (safe.startsWith(u'.'))
        safe.remove(0, 1);
    // Cut between characters so that the name stays within the file system's limit.
    while (safe.toUtf8().size() > maxBytes) {
        safe.chop(safe.size() >= 2 && safe.back().isLowSurrogate() ? 2 : 1);
    }
    return safe.trimmed();
}

QString ReportFileName(const QString& templateName, const QString& dantai, int nendo,
                       const QDateTime& stamp) {
    QStringList parts;
    const QString name = SafeFileNamePart(templateName);
    parts << (name.isEmpty() ? QStringLiteral("Book") : name);
    if (const QString organisation = SafeFileNamePart(dantai); !organisation.isEmpty())
        parts << organisation;
    if (nendo != 0)
        parts << QString::number(nendo);
    parts << stamp.toString(QStringLiteral("yyyyMMddhhmmss"));
    return parts.join(u'_') + QStringLiteral(".xlsx");
}

Viewer::Viewer(QString outputFolder, QString command)
    : outputFolder_(std::move(outputFolder)), command_(QProcess::splitCommand(command)) {}

Viewer Viewer::FromSettings() {
    return Viewer(ReadReportOutputFolder(), ReadReportViewer());
}

void Viewer::Prepare() {
    program_.clear();
    if (!command_.isEmpty()) {
        const QString& name = command_.first();
        if (name.contains(u'/')) {
            const QFileInfo file(name);
            if (file.isFile() && file.isExecutable())
                program_ = file.absoluteFilePath();
        } else {
            program_ = QStandardPaths::findExecutable(name);
        }
        if (program_.isEmpty())
            throw StartFailed(QStringLiteral("表示プログラム「%1」が見つかりません。").arg(name));
    }
    if (outputFolder_.isEmpty() || !QDir().mkpath(outputFolder_)) {
        throw StartFailed(QStringLiteral("帳票の保存フォルダ「%1」を作成できません。")
                              .arg(QDir::toNativeSeparators(outputFolder_)));
    }
}

QString Viewer::Save(Workbook& book, const QString& dantai, int nendo, const QDateTime& stamp) {
    const QString fileName =
        ReportFileName(QFileInfo(book.SourcePath()).completeBaseName(), dantai, nendo, stamp);
    const QDir folder(outputFolder_);
    QString path = folder.filePath(fileName);
    // Two books of one template within a second must not overwrite each other.
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = folder.filePath(QFileInfo(fileName).completeBaseName() + QStringLiteral("_%1.xlsx").arg(n));
    }
    book.SaveAs(path);
    return path;
}

void Viewer::Start(const QString& file) const {
    if (command_.isEmpty())
        return;
    if (!QProcess::startDetached(program_, command_.mid(1) << file)) {
        throw StartFailed(QStringLiteral("表示プログラム「%1」を起動できません。").arg(command_.first()));
    }
}

}  // namespace sheet
