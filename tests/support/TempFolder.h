#pragma once
#include <QString>
#include <QTemporaryDir>

// A scratch folder removed with everything in it when the test ends.
class TempFolder {
public:
    TempFolder() { dir_.setAutoRemove(true); }
    QString Path() const { return dir_.path(); }
    QString File(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

// Writes `bytes` to `path`, making its folder; fails the test when it cannot.
void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);
