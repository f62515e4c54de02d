#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "platform/Folders.h"
#include "sheet/Application.h"
#include "sheet/Viewer.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/sheet/BookFixture.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

using namespace sheet;

namespace {

// The settings file beside a scratch program folder, with a viewer script that
// records the arguments of every start, one line each.
class ViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QDir().mkpath(appFolder);
        platform::OverrideProgramFolder(appFolder);
        ClearLoginState();
        CurrentDantai = u"○○○○自治会"_qs;
        WritePackage(templatePath, TemplateParts());
        WriteFile(script, "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + QFile::encodeName(log) + "'\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void TearDown() override {
        platform::OverrideProgramFolder(QString());
        ClearLoginState();
    }
    void WriteSettings(const QString& folder, const QString& viewer) const {
        WriteFile(appFolder + u"/Tsubaki.ini"_qs,
                  (u"[Report]\nOutputFolder="_qs + folder + u"\nViewer="_qs + viewer + u'\n').toUtf8());
    }
    // The viewer runs detached: wait for it to have recorded `count` starts.
    QStringList RecordedStarts(int count) const {
        QDeadlineTimer deadline(10000);
        QStringList lines;
        do {
            QFile file(log);
            if (file.open(QIODevice::ReadOnly))
                lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
            if (lines.size() >= count)
                break;
            QThread::msleep(20);
        } while (!deadline.hasExpired());
        lines.sort();
        return lines;
    }

    TempFolder temp;
    QString appFolder = temp.File(u"app"_qs);
    QString templatePath = temp.File(u"収支明細書.xltx"_qs);
    QString script = temp.File(u"viewer.sh"_qs);
    QString log = temp.File(u"viewer.log"_qs);
    QString output = temp.File(u"帳票/2025年度"_qs);  // missing, with its parent
};

TEST_F(ViewerTest, SavesNewBooksIntoTheReportFolderAndStartsTheViewerOnEach) {
    WriteSettings(output, script + u" --view"_qs);
    const QString existing = temp.File(u"existing.xlsx"_qs);
    WritePackage(existing, TemplateParts());
    const QByteArray existingBytes = ReadFile(existing);

    Application app;
    app.SetReportYear(2025);
    Workbook& first = app.Workbooks().Add(templatePath);
    first.Sheets()
        .Item(1)
        .Range(u"A20"_qs, u"C20"_qs)
        .SetFormula(QVariantList{QVariantList{u"2025/ 4/ 1"_qs, 1200, u"=SUM(A6:A8)"_qs}});
    const QVariant written = first.Sheets().Item(1).Range(u"A1:C20"_qs).Formula();
    app.Workbooks().Add(templatePath);
    app.Workbooks().Open(existing);
    app.SetVisible(true);

    EXPECT_TRUE(app.Visible());
    ASSERT_EQ(app.SavedFiles().size(), 2);
    const QRegularExpression name(u"^収支明細書_○○○○自治会_2025_\\d{14}(_2)?\\.xlsx$"_qs);
    for (const QString& file : app.SavedFiles()) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_EQ(QFileInfo(file).absolutePath(), output);
        EXPECT_TRUE(name.match(QFileInfo(file).fileName()).hasMatch());
    }
    EXPECT_NE(app.SavedFiles()[0], app.SavedFiles()[1]);
    EXPECT_EQ(QDir(output).entryList(QDir::Files).size(), 2);

    Application reader;
    EXPECT_EQ(reader.Workbooks().Open(app.SavedFiles()[0]).Sheets().Item(1).Range(u"A1:C20"_qs).Formula(),
              written);

    // The opened book is shown as its own file, untouched.
    QStringList expected{u"--view "_qs + app.SavedFiles()[0], u"--view "_qs + app.SavedFiles()[1],
                         u"--view "_qs + existing};
    expected.sort();
    EXPECT_EQ(RecordedStarts(3), expected);
    EXPECT_EQ(ReadFile(existing), existingBytes);

    // Books already shown are not shown again; a new one is.
    app.Workbooks().Add(templatePath);
    app.SetVisible(true);
    ASSERT_EQ(app.SavedFiles().size(), 3);
    EXPECT_EQ(RecordedStarts(4).size(), 4);
    EXPECT_EQ(QDir(output).entryList(QDir::Files).size(), 3);
}

TEST_F(ViewerTest, WithoutAViewerTheBookIsOnlySaved) {
    WriteSettings(output, QString());
    CurrentNendo = 2021;
    Application app;
    app.Workbooks().Add(templatePath);
    app.SetVisible(true);
    ASSERT_EQ(app.SavedFiles().size(), 1);
    EXPECT_TRUE(QFileInfo(app.SavedFiles()[0]).isFile());
    EXPECT_TRUE(QFileInfo(app.SavedFiles()[0]).fileName().startsWith(u"収支明細書_○○○○自治会_2021_"_qs));
    QThread::msleep(100);
    EXPECT_FALSE(QFileInfo::exists(log));
}

TEST_F(ViewerTest, MissingViewerOrUnmakeableFolderFailsBeforeAnythingIsWritten) {
    const QString plainFile = temp.File(u"plain"_qs);
    WriteFile(plainFile, "not a folder");
    struct Case {
        const char* label;
        QString folder;
        QString viewer;
        QString detail;
    } const cases[] = {
        {"viewer not on PATH", output, u"tsubaki-no-such-viewer --x"_qs, u"tsubaki-no-such-viewer"_qs},
        {"viewer path missing", output, temp.File(u"missing.sh"_qs), u"missing.sh"_qs},
        {"folder below a file", plainFile + u"/帳票"_qs, script, u"帳票"_qs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        WriteSettings(c.folder, c.viewer);
        Application app;
        app.Workbooks().Add(templatePath);
        try {
            app.SetVisible(true);
            ADD_FAILURE() << "no error";
        } catch (const EAppError& e) {
            EXPECT_TRUE(e.Message().startsWith(u"Excelの起動を失敗しました。\r\n\r\n"_qs))
                << e.Message().toStdString();
            EXPECT_TRUE(e.Message().contains(c.detail)) << e.Message().toStdString();
        }
        EXPECT_FALSE(app.Visible());
        EXPECT_TRUE(app.SavedFiles().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(output));
        EXPECT_FALSE(QFileInfo::exists(log));
    }
}

// A viewer that starts but cannot open the book: the user learns why and where the
// book was saved, and the viewer's lock file does not stay behind.
TEST_F(ViewerTest, AViewerThatCannotOpenTheBookIsReportedWithWhereTheBookIs) {
    ScriptedDialogs dialogs;
    const QString failing = temp.File(u"failing.sh"_qs);
    WriteFile(failing,
              "#!/bin/sh\n"
              "book=\"$1\"\n"
              ": > \"$(dirname \"$book\")/.~lock.$(basename \"$book\")#\"\n"
              "echo \"no application can open this file\" >&2\n"
              "exit 3\n");
    QFile::setPermissions(failing, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    WriteSettings(output, failing);
    Application app;
    app.Workbooks().Add(templatePath);
    app.SetVisible(true);
    ASSERT_EQ(app.SavedFiles().size(), 1);
    const QString book = app.SavedFiles()[0];

    QDeadlineTimer deadline(10000);
    while (dialogs.Shown().empty() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    const QString text = dialogs.Last().text;
    EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Error);
    EXPECT_TRUE(text.startsWith(u"Excelの起動を失敗しました。\r\n\r\n"_qs)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"(終了コード 3)"_qs)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"no application can open this file"_qs)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"帳票は［"_qs + book + u"］に保存しました。"_qs)) << text.toStdString();
    EXPECT_TRUE(QFileInfo(book).isFile());
    EXPECT_EQ(QDir(output).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(book).fileName()});
}

// "xdg-open" as the viewer: the desktop's opener when it has a program for .xlsx,
// else LibreOffice directly (xdg-open would hand the book to a web browser), else
// an information box saying where the book is.
TEST_F(ViewerTest, TheAutomaticViewerFallsBackToLibreOfficeAndElseSaysWhereTheBookIs) {
    ScriptedDialogs dialogs;
    const QString bin = temp.File(u"bin"_qs);
    const QByteArray path = qgetenv("PATH");
    const auto tool = [&](const QString& name, const QByteArray& body) {
        WriteFile(bin + u'/' + name, "#!/bin/sh\n" + body + "\n");
        QFile::setPermissions(bin + u'/' + name, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    const QByteArray record = "printf '%s\\n' \"$0 $*\" >> '" + QFile::encodeName(log) + "'";
    const struct {
        const char* label;
        QByteArray desktopDefault;
        bool office;
        QString started;  // empty: nothing is started
    } cases[] = {
        {"the desktop has a spreadsheet program", "libreoffice-calc.desktop", true, u"xdg-open"_qs},
        {"the desktop has none", "", true, u"libreoffice"_qs},
        {"nothing opens a workbook", "", false, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QDir(bin).removeRecursively();
        QDir().mkpath(bin);
        QFile::remove(log);
        dialogs.Clear();
        tool(u"xdg-mime"_qs, "echo '" + c.desktopDefault + "'");
        tool(u"xdg-open"_qs, record);
        if (c.office)
            tool(u"libreoffice"_qs, record);
        qputenv("PATH", QFile::encodeName(bin));
        WriteSettings(output, u"xdg-open"_qs);
        Application app;
        app.Workbooks().Add(templatePath);
        app.SetVisible(true);
        qputenv("PATH", path);
        ASSERT_EQ(app.SavedFiles().size(), 1);
        const QString book = app.SavedFiles()[0];
        if (!c.started.isEmpty()) {
            EXPECT_EQ(RecordedStarts(1), QStringList{bin + u'/' + c.started + u' ' + book});
            EXPECT_TRUE(dialogs.Shown().empty());
        } else {
            ASSERT_EQ(dialogs.Shown().size(), 1u);
            EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::SavedFile);
            EXPECT_EQ(dialogs.Last().title, output);  // the folder its button opens
            EXPECT_TRUE(dialogs.Last().text.startsWith(u"帳票は［"_qs + book + u"］に保存しました。"_qs))
                << dialogs.Last().text.toStdString();
            QThread::msleep(100);
            EXPECT_FALSE(QFileInfo::exists(log));
        }
        EXPECT_TRUE(QFileInfo(book).isFile());
    }
}

TEST(ReportFileName, NamesAreSafeAndLeaveOutWhatIsMissing) {
    const QDateTime stamp(QDate(2026, 12, 10), QTime(15, 30, 12));
    struct Case {
        QString templ, dantai;
        int nendo;
        QString expected;
        QString note = QString();
    } const cases[] = {
        {u"収支明細書"_qs, u"○○○○自治会"_qs, 2025, u"収支明細書_○○○○自治会_2025_20261210153012.xlsx"_qs},
        {u"月別集計表"_qs, u"東町会/西:班*?"_qs, 2021,
         u"月別集計表_東町会_西_班___2021_20261210153012.xlsx"_qs},
        {u"予算書１"_qs, u"..隠れ\t会 "_qs, 0, u"予算書１_隠れ_会_20261210153012.xlsx"_qs},
        {u"予算書１"_qs, QString(), 2021, u"予算書１_2021_20261210153012.xlsx"_qs},
        {QString(), u"<>"_qs, 2021, u"Book____2021_20261210153012.xlsx"_qs},
        // An interim statement says so after its template's name.
        {u"決算書１"_qs, u"東町会"_qs, 2021, u"決算書１_中間20210930_東町会_2021_20261210153012.xlsx"_qs,
         u"中間20210930"_qs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        EXPECT_EQ(ReportFileName(c.templ, c.dantai, c.nendo, stamp, c.note), c.expected);
    }
    // Long names are cut between characters, surrogate pairs kept whole.
    const QString longName = SafeFileNamePart(QString(100, u'あ') + u"𠮷𠮷"_qs, 301);
    EXPECT_EQ(longName, QString(100, u'あ'));
    EXPECT_EQ(SafeFileNamePart(QString(99, u'あ') + u"𠮷𠮷"_qs, 301), QString(99, u'あ') + u"𠮷"_qs);
}

}  // namespace
