#pragma once
// Showing finished books to the user. There is no spreadsheet window to make
// visible here: a book made from a template is saved as .xlsx into the report
// folder and handed to the viewer command, a book opened from a file is
// handed over as that file.

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace sheet {

class Workbook;

// The message of every failure to show a book; details follow after a blank line.
QString ViewerStartFailedText();

// "<template>[_<note>]_<organisation>_<year>_<yyyyMMddhhmmss>.xlsx", every part
// made safe as a file name; an empty note or organisation or a year of 0 is left out.
QString ReportFileName(const QString& templateName, const QString& dantai, int nendo, const QDateTime& stamp,
                       const QString& note = QString());

// `text` usable inside a file name: path separators, the characters other
// systems refuse and control characters become "_", blanks and leading dots
// are trimmed, and the result is cut to `maxBytes` bytes of UTF-8 between
// characters.
QString SafeFileNamePart(const QString& text, int maxBytes = 120);

// The command "xdg-open", alone, is the automatic choice: the desktop's opener
// when it names a program for .xlsx, else LibreOffice started directly (xdg-open
// would hand the book to a web browser), else nothing. Returns the command to
// run, empty when nothing on this computer opens a workbook.
QStringList AutomaticViewerCommand();

class Viewer {
  public:
    // `command` is split like a shell command line; empty means books are only
    // saved; "xdg-open" is the automatic choice above.
    Viewer(QString outputFolder, QString command);
    // From the settings file: [Report] OutputFolder and Viewer.
    static Viewer FromSettings();

    // Finds the viewer program and makes the report folder with its parents.
    // EAppError (ViewerStartFailedText) when either fails; nothing else is written.
    void Prepare();
    // Saves `book` into the report folder under a name no other file has yet
    // and returns its path. Prepare first.
    QString Save(Workbook& book, const QString& dantai, int nendo, const QDateTime& stamp,
                 const QString& note = QString());
    // Starts the viewer on `file`, detached; nothing without a viewer command.
    void Start(const QString& file) const;
    // Starts the viewer on each file; when the automatic choice found no program,
    // one information box says where they were saved (with a button that opens the
    // folder) instead.
    void Show(const QStringList& files) const;

  private:
    QString outputFolder_;
    QStringList command_;  // as configured, then as chosen by Prepare
    bool automatic_ = false;
    QString program_;  // the viewer's executable, found by Prepare
};

}  // namespace sheet
