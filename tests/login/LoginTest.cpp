#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "core/FileUtil.h"
#include "core/KyotsuUnit.h"
#include "login/LoginUnit.h"
#include "login/MenuUnit.h"
#include "tests/login/LoginFixture.h"
#include "tests/support/ScratchDatabase.h"
#include "tests/support/TempFolder.h"
#include "ui/YearEdit.h"

namespace {

const QString kSample = QStringLiteral("○○○○自治会");

struct LoginWindow {
    LoginWindow() {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    ~LoginWindow() { form.hide(); }
    void Select(const QString& name) {
        const auto items = form.ListBox1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        form.ListBox1->setCurrentItem(items.front());
    }
    TLoginForm form;
};

QStringList Names(const QListWidget* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

}  // namespace

TEST(LoginForm, AFirstStartWritesTheRootFolderAndOffersOnlyAddingOrganisations) {
    LoginFixture fixture;
    WriteFdbRootPath({});  // the settings file knows no root yet
    const QString home = fixture.ProgramFolder() + QStringLiteral("/home");
    qputenv("HOME", home.toUtf8());
    LoginWindow login;
    qunsetenv("HOME");

    EXPECT_EQ(ReadFdbRootPath(), home + QStringLiteral("/TsubakiDB"));
    EXPECT_TRUE(QDir(home + QStringLiteral("/TsubakiDB")).exists());
    EXPECT_EQ(login.form.ListBox1->count(), 0);
    EXPECT_FALSE(login.form.BitBtn1->isEnabled());  // 実  行
    EXPECT_FALSE(login.form.BitBtn3->isEnabled());  // 団体の削除
    EXPECT_FALSE(login.form.BitBtn5->isEnabled());  // 団体名変更
    EXPECT_TRUE(login.form.BitBtn2->isEnabled());   // ｻﾝﾌﾟﾙﾃﾞｰﾀの追加
    EXPECT_TRUE(login.form.BitBtn4->isEnabled());   // 団体の追加
    EXPECT_TRUE(fixture.dialogs.Shown().empty());
}

TEST(LoginForm, PasswordsAreComparedTrimmedAndCaseSensitive) {
    LoginFixture fixture;
    const QString path = fixture.AddOrganisation(QStringLiteral("東町会"), QStringLiteral("Tsubaki"));
    LoginFixture::Execute(path, QStringLiteral("update KANRI set NENDO = 2025 where (KY = 1)"));
    LoginWindow login;
    ASSERT_EQ(login.form.GetSelectedDantai(), QStringLiteral("東町会"));

    for (const char16_t* wrong : {u"tsubaki", u"", u"Tsubak"}) {
        SCOPED_TRACE(QString::fromUtf16(wrong).toStdString());
        fixture.dialogs.Clear();
        login.form.Edit1->setText(QString::fromUtf16(wrong));
        QTest::mouseClick(login.form.BitBtn1, Qt::LeftButton);
        ASSERT_EQ(fixture.dialogs.Shown().size(), 1u);
        EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("パスワードが正しくありません。"));
        EXPECT_TRUE(login.form.Edit1->hasFocus());
        EXPECT_FALSE(fixture.dataModule.SQLConnection1.Connected());
        EXPECT_TRUE(login.form.isVisible());
    }

    fixture.dialogs.Clear();
    login.form.Edit1->setText(QStringLiteral("  Tsubaki "));
    QString menuYear, menuName;
    OnNextModal([&](QWidget* modal) {
        auto* menu = qobject_cast<TMenuForm*>(modal);
        ASSERT_NE(menu, nullptr);
        menuYear = menu->Edit1->text();
        menuName = menu->Label2->text();
    });
    QTest::mouseClick(login.form.BitBtn1, Qt::LeftButton);
    EXPECT_TRUE(fixture.dialogs.Shown().empty());
    EXPECT_EQ(menuYear, QStringLiteral("2025"));
    EXPECT_EQ(menuName, QStringLiteral("東町会"));
    EXPECT_EQ(login.form.result(), QDialog::Accepted);  // the login window closes after the menu
}

TEST(LoginForm, AnEmptyPasswordIsMatchedByAnEmptyEntry) {
    LoginFixture fixture;
    fixture.AddOrganisation(QStringLiteral("西町会"));
    LoginWindow login;
    login.form.Edit1->setText(QStringLiteral("   "));
    bool menuShown = false;
    OnNextModal([&](QWidget* modal) { menuShown = qobject_cast<TMenuForm*>(modal) != nullptr; });
    QTest::mouseClick(login.form.BitBtn1, Qt::LeftButton);
    EXPECT_TRUE(menuShown);
    EXPECT_EQ(CurrentDantai, QStringLiteral("西町会"));
}

TEST(LoginForm, SampleDataIsInstalledOnceAndOfferedAgainAfterItsDeletion) {
    LoginFixture fixture;
    LoginWindow login;
    ASSERT_TRUE(login.form.BitBtn2->isEnabled());
    QTest::mouseClick(login.form.BitBtn2, Qt::LeftButton);
    EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("サンプルデータを追加しました。"));
    EXPECT_EQ(Names(login.form.ListBox1), QStringList{kSample});
    EXPECT_FALSE(login.form.BitBtn2->isEnabled());
    const QString folder = fixture.Root() + u'/' + kSample;
    EXPECT_EQ(GetLocalDbPath(kSample), folder + QStringLiteral("/TSUBAKI.FDB"));

    // A read-only file in a sub-folder does not stop the deletion.
    WriteFile(folder + QStringLiteral("/memo/readonly.txt"), "note");
    QFile::setPermissions(folder + QStringLiteral("/memo/readonly.txt"), QFileDevice::ReadOwner);
    fixture.dialogs.QueueAnswer(ModalResult::No);
    QTest::mouseClick(login.form.BitBtn3, Qt::LeftButton);
    EXPECT_TRUE(QDir(folder).exists());  // いいえ keeps everything
    fixture.dialogs.QueueAnswer(ModalResult::Yes);
    QTest::mouseClick(login.form.BitBtn3, Qt::LeftButton);
    EXPECT_EQ(fixture.dialogs.Last().type, MsgDlgType::Warning);
    EXPECT_EQ(fixture.dialogs.Last().text,
              QStringLiteral("[○○○○自治会]を削除します。\r\n"
                             "削除した団体のデータは復活することができません。\r\n\r\n"
                             "削除してもよろしいですか？"));
    EXPECT_FALSE(QDir(folder).exists());
    EXPECT_EQ(login.form.ListBox1->count(), 0);
    EXPECT_TRUE(GetDantaiList().isEmpty());
    EXPECT_TRUE(login.form.BitBtn2->isEnabled());
    EXPECT_FALSE(login.form.BitBtn1->isEnabled());
}

TEST(LoginForm, SampleDataOverAnExistingDatabaseAsksFirst) {
    LoginFixture fixture;
    const QString path = fixture.AddOrganisation(kSample, QStringLiteral("keep"));
    DeleteIniKey(QStringLiteral("DBList"), kSample);
    fixture.AddOrganisation(QStringLiteral("東町会"));
    LoginWindow login;
    fixture.dialogs.QueueAnswer(ModalResult::No);
    QTest::mouseClick(login.form.BitBtn2, Qt::LeftButton);
    EXPECT_EQ(fixture.dialogs.Shown().front().focused, mbNo);
    EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("処理を中止しました。"));
    EXPECT_EQ(LoginFixture::Query(path, QStringLiteral("select PASS_WD from KANRI")), QStringLiteral("keep"));
    EXPECT_EQ(Names(login.form.ListBox1), QStringList{QStringLiteral("東町会")});
}

#ifdef TSUBAKI_UPGRADE_FIXTURES
namespace {
// Registers `name` with a copy of an upgrade fixture database and the given password.
QString AddOrganisationAtLevel(LoginFixture& fixture, const QString& name, const char* level) {
    const QString path = fixture.AddOrganisation(name);
    QFile::remove(path);
    FileCopy(
        QStringLiteral(TSUBAKI_UPGRADE_FIXTURES "/") + QString::fromLatin1(level) + QStringLiteral(".FDB"),
        path, true, true);
    LoginFixture::Execute(path, QStringLiteral("update KANRI set PASS_WD = 'pw'"));
    return path;
}
}  // namespace

TEST(LoginForm, TheUpgradeRunsBeforeThePasswordIsChecked) {
    LoginFixture fixture;
    const QString path = AddOrganisationAtLevel(fixture, QStringLiteral("東町会"), "1.0.2.8");
    LoginWindow login;
    login.form.Edit1->setText(QStringLiteral("wrong"));
    QTest::mouseClick(login.form.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("パスワードが正しくありません。"));
    EXPECT_EQ(LoginFixture::Query(path, QStringLiteral("select DB_VERSION from KANRI")),
              QStringLiteral("1.0.4.0"));
    EXPECT_FALSE(fixture.dataModule.SQLConnection1.Connected());
    EXPECT_TRUE(login.form.isVisible());
}

TEST(LoginForm, ADatabaseNewerThanTheProgramEndsIt) {
    LoginFixture fixture;
    AddOrganisationAtLevel(fixture, QStringLiteral("東町会"), "newer");
    LoginWindow login;
    login.form.Edit1->setText(QStringLiteral("pw"));
    QTest::mouseClick(login.form.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(fixture.dialogs.Last().text,
              QStringLiteral("データベースのバージョンレベルが現在のプログラムより新しいです。\r\n"
                             "プログラムを最新バージョンにアップデートしてください。"));
    EXPECT_FALSE(login.form.isVisible());  // the login window closed: the program ends
    EXPECT_EQ(login.form.result(), QDialog::Rejected);
}
#endif

// Deleting an organisation removes a folder only when it is the organisation's own
// folder under the root; an entry that points anywhere else loses its registry
// entry only, and the user hears why the folder stayed.
TEST(LoginForm, DeletingAnEntryOutsideItsOwnFolderKeepsThatFolder) {
    LoginFixture fixture;
    TempFolder elsewhere;
    const QString outside = fixture.AddOrganisation(QStringLiteral("外部"));
    const QString moved = elsewhere.Path() + QStringLiteral("/keep/TSUBAKI.FDB");
    QDir().mkpath(ExtractFileDir(moved));
    QFile::rename(outside, moved);
    DeleteFolderTree(ExtractFileDir(outside));
    const QString other = fixture.AddOrganisation(QStringLiteral("西町会"));
    WriteFile(fixture.Root() + QStringLiteral("/TSUBAKI.FDB"), "root");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(elsewhere.Path() + QStringLiteral("/keep"));
    const struct {
        const char* name;
        QString entry;
        QString kept;  // the folder that must survive
    } cases[] = {
        {"a folder outside the root", moved, ExtractFileDir(moved)},
        {"a relative entry", QStringLiteral("../keep/TSUBAKI.FDB"), ExtractFileDir(moved)},
        {"another organisation's folder", other, ExtractFileDir(other)},
        {"the root folder itself", fixture.Root() + QStringLiteral("/TSUBAKI.FDB"), fixture.Root()},
        {"a way round through ..", fixture.Root() + QStringLiteral("/西町会/../西町会/TSUBAKI.FDB"),
         ExtractFileDir(other)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fixture.dialogs.Clear();
        WriteDBListEntry(QStringLiteral("東町会"), c.entry);
        LoginWindow login;
        login.Select(QStringLiteral("東町会"));
        fixture.dialogs.QueueAnswer(ModalResult::Yes);
        QTest::mouseClick(login.form.BitBtn3, Qt::LeftButton);
        EXPECT_TRUE(QFileInfo(c.kept).isDir());
        EXPECT_TRUE(QFileInfo(AddBackslash(c.kept) + QStringLiteral("TSUBAKI.FDB")).isFile());
        EXPECT_FALSE(GetDantaiList().contains(QStringLiteral("東町会")));
        EXPECT_TRUE(GetDantaiList().contains(QStringLiteral("西町会")));
        ASSERT_EQ(fixture.dialogs.Shown().size(), 2u);
        EXPECT_TRUE(fixture.dialogs.Last().text.startsWith(QStringLiteral("[東町会]の登録を削除しました。")))
            << fixture.dialogs.Last().text.toStdString();
    }
    QDir::setCurrent(previous);
}

// A hand-edited key is resolved against the root like the entry: only a folder
// that stands directly in the root under the key's own name is deleted. Every
// other key loses its registry line only, and the message names the folder kept.
TEST(LoginForm, DeletingRemovesOnlyTheFolderOfAnOrdinaryKey) {
    LoginFixture fixture;
    TempFolder elsewhere;
    const QString root = fixture.Root();
    const QString above = ExtractFileDir(root);  // the folder that holds the root
    const auto database = [](const QString& folder) {
        QDir().mkpath(folder);
        WriteFile(folder + QStringLiteral("/TSUBAKI.FDB"), "books");
        return folder;
    };
    QDir().mkpath(root + QStringLiteral("/a"));
    const QString linked = database(elsewhere.File(QStringLiteral("linked")));
    ASSERT_TRUE(QFile::link(linked, root + QStringLiteral("/リンク会")));
    WriteFile(root + QStringLiteral("/TSUBAKI.FDB"), "root");
    const QString absolute = database(elsewhere.File(QStringLiteral("absolute")));
    const struct {
        QString key;
        QString folder;  // where the entry's database lies
        bool deleted;
    } cases[] = {
        {QStringLiteral("../victim-key"), database(above + QStringLiteral("/victim-key")), false},
        {QStringLiteral("a/../../x"), database(above + QStringLiteral("/x")), false},
        {absolute, absolute, false},
        {QStringLiteral("リンク会"), linked, false},
        {QStringLiteral("."), root, false},
        {QStringLiteral("東町会"), database(root + QStringLiteral("/東町会")), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key.toStdString());
        fixture.dialogs.Clear();
        const QString entry = c.deleted || c.key == absolute
                                  ? c.folder + QStringLiteral("/TSUBAKI.FDB")
                                  : root + u'/' + c.key + QStringLiteral("/TSUBAKI.FDB");
        WriteDBListEntry(c.key, entry);
        LoginWindow login;
        login.Select(c.key);
        fixture.dialogs.QueueAnswer(ModalResult::Yes);
        QTest::mouseClick(login.form.BitBtn3, Qt::LeftButton);
        EXPECT_FALSE(GetDantaiList().contains(c.key));
        EXPECT_EQ(QFileInfo::exists(c.folder + QStringLiteral("/TSUBAKI.FDB")), !c.deleted);
        if (c.deleted) {
            EXPECT_FALSE(QFileInfo::exists(c.folder));
            EXPECT_EQ(fixture.dialogs.Shown().size(), 1u);  // the question only
        } else {
            ASSERT_EQ(fixture.dialogs.Shown().size(), 2u);
            EXPECT_TRUE(fixture.dialogs.Last().text.startsWith(u'[' + c.key +
                                                               QStringLiteral("]の登録を削除しました。")))
                << fixture.dialogs.Last().text.toStdString();
        }
    }
    EXPECT_TRUE(QFileInfo(root + QStringLiteral("/a")).isDir());
    EXPECT_TRUE(QFileInfo(root).isDir());
}

// An organisation whose database another program holds (the command line, a second
// copy started under another login) is said to be in use, not to be no database.
TEST(LoginForm, ADatabaseAnotherProgramHoldsIsNamedAsInUse) {
    LoginFixture fixture;
    TempFolder elsewhere;
    const QString path = elsewhere.File(QStringLiteral("TSUBAKI.FDB"));
    ASSERT_TRUE(QFile::copy(EmptyOrgDbPath(), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    // isql-fb attaches at start and waits for statements on its input.
    QProcess holder;
    holder.start(QStringLiteral("isql-fb"), {QStringLiteral("-user"), QStringLiteral("sysdba"),
                                             QStringLiteral("-password"), QStringLiteral("hollyfern"), path});
    ASSERT_TRUE(holder.waitForStarted(30000));
    holder.write("select count(*) from KANRI;\n");
    ASSERT_TRUE(holder.waitForReadyRead(30000)) << "isql-fb did not attach";
    WriteDBListEntry(QStringLiteral("東町会"), path);
    LoginWindow login;
    login.Select(QStringLiteral("東町会"));
    QTest::mouseClick(login.form.BitBtn1, Qt::LeftButton);
    ASSERT_EQ(fixture.dialogs.Shown().size(), 1u);
    EXPECT_TRUE(fixture.dialogs.Last().text.endsWith(
        QStringLiteral("\r\n\r\nデータベースは他のプログラムで使用中です。\r\n"
                       "つばき出納帳でこの団体を開いている場合は、閉じてからやり直してください。")))
        << fixture.dialogs.Last().text.toStdString();
    holder.closeWriteChannel();
    EXPECT_TRUE(holder.waitForFinished(30000));
}

// A registry entry that leads nowhere is named with its reason, once: no retry
// that would fail the same way, and nothing changes.
TEST(LoginForm, ABrokenRegistryEntryIsNamedWithItsReason) {
    LoginFixture fixture;
    TempFolder elsewhere;
    WriteFile(elsewhere.File(QStringLiteral("text.FDB")), "not a database");
    const struct {
        const char* name;
        QString entry;
        QString reason;
    } cases[] = {
        {"no file", elsewhere.File(QStringLiteral("missing/TSUBAKI.FDB")),
         QStringLiteral("指定されたデータベースファイルが見つかりません。")},
        {"a folder", elsewhere.Path(), QStringLiteral("指定されたファイルはデータベースではありません。")},
        {"not a database", elsewhere.File(QStringLiteral("text.FDB")),
         QStringLiteral("指定されたファイルはデータベースではありません。")},
        {"no server there", QStringLiteral("127.0.0.1/1:") + elsewhere.File(QStringLiteral("x.FDB")),
         QStringLiteral("データベースサーバーが応答しません。")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fixture.dialogs.Clear();
        WriteDBListEntry(QStringLiteral("東町会"), c.entry);
        const QByteArray settings = ReadFile(GetIniFileName());
        LoginWindow login;
        login.Select(QStringLiteral("東町会"));
        QTest::mouseClick(login.form.BitBtn1, Qt::LeftButton);
        ASSERT_EQ(fixture.dialogs.Shown().size(), 1u);
        EXPECT_EQ(fixture.dialogs.Last().kind, RecordedDialog::Kind::Error);
        EXPECT_EQ(fixture.dialogs.Last().text,
                  QStringLiteral("団体［東町会］のデータベースを開けませんでした。\r\n設定ファイル［") +
                      GetIniFileName() + QStringLiteral("］の [DBList] 東町会=") + c.entry +
                      QStringLiteral("\r\n\r\n") + c.reason)
            << fixture.dialogs.Last().text.toStdString();
        EXPECT_FALSE(fixture.dataModule.SQLConnection1.Connected());
        EXPECT_EQ(ReadFile(GetIniFileName()), settings);
        EXPECT_TRUE(login.form.isVisible());
    }
}
