#pragma once
// The program's version information ("FileVersion", "LegalCopyright", ...),
// compiled into the program itself.

#include <QString>

class TVerInfo {
  public:
    // The version information of the running program.
    TVerInfo() = default;
    // The version information of `fileName`. Only the running program carries
    // one; any other file throws EAppError "バージョン情報が取得できません.".
    explicit TVerInfo(const QString& fileName);

    // The value of a standard key ("FileVersion", "LegalCopyright", "ProductName",
    // ...; case does not matter); empty for a key the program does not carry.
    QString Value(QStringView key) const;
    QString FileVersion() const { return Value(u"FileVersion"); }
    QString LegalCopyright() const { return Value(u"LegalCopyright"); }
};
