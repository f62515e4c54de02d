#include "core/NameChecks.h"

#include "core/Errors.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"

namespace {

// Blanks and control characters at both ends, as typed paths are read.
QString TrimControls(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (last > first && text[last - 1].unicode() <= 0x20)
        --last;
    while (first < last && text[first].unicode() <= 0x20)
        ++first;
    return text.sliced(first, last - first);
}

bool HasControlCharacter(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 0x20)
            return true;
    }
    return false;
}

// "?" anywhere and "*" once, and both only where wildcards are allowed.
bool WildcardsFit(QStringView part, bool wildcards) {
    if (!wildcards)
        return !part.contains(u'?') && !part.contains(u'*');
    return part.count(u'*') <= 1;
}

}  // namespace

// "/" is the separator, so it may not close a path nor stand twice in a row (no
// network prefix here). A backslash, the separator of Windows paths, is refused
// so that a path typed the Windows way is not taken for one odd file name; ":"
// is refused because there are no drives and the database string reads
// "host:path" as a server.
bool IsValidFileName(const QString& path, bool wildcards, bool dotsInFolder) {
    const QString s = TrimControls(path);
    if (s.isEmpty() || s.endsWith(u'/') || s.endsWith(u'.'))
        return false;
    static constexpr QStringView forbidden = u"\\:,;\"<>|";
    for (QChar c : s) {
        if (forbidden.contains(c))
            return false;
    }
    if (s.contains(u"//") || HasControlCharacter(s))
        return false;

    const qsizetype slash = s.lastIndexOf(u'/');
    const QStringView folder = QStringView(s).first(slash + 1);
    const QStringView name = QStringView(s).sliced(slash + 1);
    if (folder.contains(u'*') || folder.contains(u'?'))
        return false;
    if (!dotsInFolder && folder.contains(u'.'))
        return false;

    const qsizetype dot = name.lastIndexOf(u'.');
    const QStringView base = dot < 0 ? name : name.first(dot);
    const QStringView extension = dot < 0 ? QStringView() : name.sliced(dot + 1);
    if (base.startsWith(u'.'))
        return false;
    return WildcardsFit(base, wildcards) && WildcardsFit(extension, wildcards);
}

bool IsValidFolderName(const QString& folder, bool dotsInFolder) {
    return IsValidFileName(AddBackslash(folder) + QStringLiteral("*.*"), true, dotsInFolder);
}

bool HasDriveOrUNC(const QString& path) {
    return TrimControls(path).startsWith(u'/');
}

qint64 CheckDrive(QChar letter) {
    char16_t drive = letter.unicode();
    if (drive >= u'a' && drive <= u'z')
        drive = static_cast<char16_t>(drive - (u'a' - u'A'));
    if (drive < u'A' || drive > u'Z') {
        throw EAppError(QStringLiteral("[") + letter + QStringLiteral("]は無効なドライブです"));
    }
    throw EDriveNotReady(QChar(drive) + QStringLiteral("ﾄﾞﾗｲﾌﾞの準備ができていません"));
}

bool IsDriveReady(QChar letter) {
    try {
        CheckDrive(letter);
        return true;
    } catch (const EDriveNotReady&) {
        return false;
    }
}

// The name must survive as a settings-file key and as one folder name: no
// separator of either platform, no ":" (the database string reads "host:path"),
// no leading "." (a hidden folder, and "." and ".."), at most 255 bytes.
bool IsValidDantaiName(const QString& name) {
    if (!IniFile::IsValidName(name) || name.startsWith(u'.'))
        return false;
    static constexpr QStringView forbidden = u"/\\:";
    for (QChar c : name) {
        if (forbidden.contains(c))
            return false;
    }
    return name.toUtf8().size() <= 255;
}

bool IsPlainFileName(const QString& name) {
    if (name.isEmpty() || name != TrimControls(name) || name == u"." || name == u".." || HasControlCharacter(name))
        return false;
    static constexpr QStringView forbidden = u"/\\:*?\"<>|";
    for (QChar c : name) {
        if (forbidden.contains(c))
            return false;
    }
    return name.toUtf8().size() <= 250;  // room for the extension within a file name's 255 bytes
}
