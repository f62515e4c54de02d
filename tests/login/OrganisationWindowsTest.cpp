#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/JapaneseText.h"
#include "core/KyotsuUnit.h"
#include "login/DantaiTourokuUnit.h"
#include "login/DantaimeiHenkouUnit.h"
#include "tests/login/LoginFixture.h"

namespace {

template <class Form>
struct Shown {
    Shown() {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    Form form;
};

void Press(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace

TEST(DantaiTouroku, RegistersTheFolderTheDatabaseTheNameAndTheRegistryEntry) {
    LoginFixture fixture;
    Shown<TDantaiTourokuForm> window;
    window.form.Edit2->setText(QStringLiteral(" 東町会 "));
    Press(window.form.BitBtn1);

    const QString path = fixture.Root() + QStringLiteral("/東町会/TSUBAKI.FDB");
    EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("団体の登録を正常に終了しました。"));
    EXPECT_EQ(window.form.result(), QDialog::Accepted);
    EXPECT_EQ(GetDbPath(QStringLiteral("東町会")), path);
    EXPECT_EQ(LoginFixture::Query(path, QStringLiteral("select DANTAIMEI from KANRI where (KY = 1)")),
              QStringLiteral("東町会"));
    EXPECT_EQ(CurrentDantai, QStringLiteral("東町会"));
}

TEST(DantaiTouroku, RefusesNamesThatCannotBeOneFolderAndOneKeyBeforeWritingAnything) {
    LoginFixture fixture;
    const QString names[] = {QStringLiteral("東/西"), QStringLiteral(".."),   QStringLiteral(".hidden"),
                             QStringLiteral("a=b"),   QStringLiteral("[会]"), QStringLiteral("改\t行"),
                             QString(90, u'会')};  // 270 bytes: longer than a folder name may be
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        fixture.dialogs.Clear();
        Shown<TDantaiTourokuForm> window;
        window.form.Edit2->setMaxLength(200);
        window.form.Edit2->setText(name);
        Press(window.form.BitBtn1);
        ASSERT_EQ(fixture.dialogs.Shown().size(), 1u);
        EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("フォルダ［") + fixture.Root() + u'/' +
                                                   Trim(name) + QStringLiteral("］の作成を失敗しました."));
        EXPECT_EQ(QDir(fixture.Root()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});
        EXPECT_TRUE(GetDantaiList().isEmpty());
    }
}

TEST(DantaiTouroku, AnExistingDatabaseIsKeptWhenTheUserSaysNo) {
    LoginFixture fixture;
    const QString path = fixture.AddOrganisation(QStringLiteral("東町会"), QStringLiteral("old"));
    Shown<TDantaiTourokuForm> window;
    window.form.Edit2->setText(QStringLiteral("東町会"));
    fixture.dialogs.QueueAnswer(ModalResult::No);
    Press(window.form.BitBtn1);
    ASSERT_EQ(fixture.dialogs.Shown().size(), 2u);
    EXPECT_EQ(fixture.dialogs.Shown()[0].text,
              QStringLiteral("東町会は登録済みです。\r\n\r\n以前のデータを削除しますか？\r\n\r\n警告 "
                             "削除すると復活することは出来ません！"));
    EXPECT_EQ(fixture.dialogs.Shown()[0].focused, mbNo);
    EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("処理を中止しました。"));
    EXPECT_EQ(LoginFixture::Query(path, QStringLiteral("select PASS_WD from KANRI")), QStringLiteral("old"));
}

TEST(DantaiTouroku, AFailureAfterTheCopyLeavesNothingBehind) {
    LoginFixture fixture;
    // An installation whose "empty database" is no database: the copy succeeds, the
    // name cannot be written, and the user stops at the retry dialog.
    WriteFile(fixture.ProgramFolder() + QStringLiteral("/OrgDB/TSUBAKI.FDB"), "not a database");
    Shown<TDantaiTourokuForm> window;
    window.form.Edit2->setText(QStringLiteral("東町会"));
    fixture.dialogs.QueueAnswer(ModalResult::Abort);
    Press(window.form.BitBtn1);
    ASSERT_EQ(fixture.dialogs.Shown().size(), 1u);  // the retry dialog, then silence
    EXPECT_TRUE(fixture.dialogs.Last().text.startsWith(
        QStringLiteral("SQLDataSet1のクエリーの実行を失敗しました\r\n\r\n")));
    EXPECT_FALSE(QDir(fixture.Root() + QStringLiteral("/東町会")).exists());
    EXPECT_TRUE(GetDantaiList().isEmpty());
    EXPECT_NE(window.form.result(), QDialog::Accepted);
}

TEST(DantaimeiHenkou, RenamesTheFolderTheRegistryAndTheNameInTheDatabase) {
    LoginFixture fixture;
    fixture.AddOrganisation(QStringLiteral("東町会"));
    fixture.AddOrganisation(QStringLiteral("西町会"));
    struct {
        TDantaimeiHenkouForm form;
    } window;
    window.form.SetOldDantaimei(QStringLiteral("東町会"));  // before the show, as the login window does
    window.form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window.form));

    window.form.Edit2->setText(QStringLiteral("東町会"));
    Press(window.form.BitBtn1);
    EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("新旧団体名が同じです。"));
    EXPECT_TRUE(window.form.Edit2->hasFocus());

    window.form.Edit2->setText(QStringLiteral("東町内会"));
    Press(window.form.BitBtn1);
    const QString path = fixture.Root() + QStringLiteral("/東町内会/TSUBAKI.FDB");
    EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("団体名の変更を終了しました。"));
    EXPECT_FALSE(QDir(fixture.Root() + QStringLiteral("/東町会")).exists());
    EXPECT_EQ(GetDantaiList(), (QStringList{QStringLiteral("西町会"), QStringLiteral("東町内会")}));
    EXPECT_EQ(GetDbPath(QStringLiteral("東町内会")), path);
    EXPECT_EQ(LoginFixture::Query(path, QStringLiteral("select DANTAIMEI from KANRI where (KY = 1)")),
              QStringLiteral("東町内会"));
    EXPECT_EQ(CurrentDantai, QStringLiteral("東町内会"));
}

TEST(DantaimeiHenkou, ADatabaseOnAnotherComputerCannotBeRenamedHere) {
    LoginFixture fixture;
    WriteDBListEntry(QStringLiteral("東町会"), QStringLiteral("fileserver:/srv/tsubaki/東町会/TSUBAKI.FDB"));
    TDantaimeiHenkouForm form;
    form.SetOldDantaimei(QStringLiteral("東町会"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(fixture.dialogs.Beeps(), 1);
    EXPECT_EQ(
        fixture.dialogs.Last().text,
        QStringLiteral(
            "他のコンピュータのデータを参照しているため\r\nこのコンピュータで団体名変更は実行できません。"));
    EXPECT_FALSE(form.BitBtn1->isEnabled());
    EXPECT_TRUE(form.isVisible());
}

// Registry keys ignore the case of ASCII letters, folder names do not: names that
// differ only so are one name.
TEST(DantaiTouroku, ANameDifferingOnlyInLetterCaseIsAlreadyRegistered) {
    LoginFixture fixture;
    const QString path = fixture.AddOrganisation(QStringLiteral("ABC"));
    Shown<TDantaiTourokuForm> window;
    window.form.Edit2->setText(QStringLiteral("abc"));
    Press(window.form.BitBtn1);
    ASSERT_EQ(fixture.dialogs.Shown().size(), 1u);
    EXPECT_EQ(fixture.dialogs.Last().text,
              QStringLiteral("［abc］は登録済みの団体［ABC］と同じ団体名です。\r\n英字の大文字と小文字は区別されません。"));
    EXPECT_EQ(GetDantaiList(), QStringList{QStringLiteral("ABC")});
    EXPECT_EQ(GetDbPath(QStringLiteral("ABC")), path);
    EXPECT_FALSE(QDir(fixture.Root() + QStringLiteral("/abc")).exists());
    EXPECT_NE(window.form.result(), QDialog::Accepted);
}

TEST(DantaimeiHenkou, ARenameThatOnlyChangesLetterCaseKeepsOneEntry) {
    LoginFixture fixture;
    fixture.AddOrganisation(QStringLiteral("ABC"));
    fixture.AddOrganisation(QStringLiteral("XYZ"));
    const struct {
        const char* from;
        const char* to;
        bool renamed;
    } cases[] = {
        {"ABC", "abc", true},   // the same organisation
        {"abc", "xyz", false},  // another one's name
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.to);
        fixture.dialogs.Clear();
        TDantaimeiHenkouForm form;
        form.SetOldDantaimei(QString::fromLatin1(c.from));
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.Edit2->setText(QString::fromLatin1(c.to));
        Press(form.BitBtn1);
        EXPECT_EQ(form.result() == QDialog::Accepted, c.renamed) << fixture.dialogs.Last().text.toStdString();
    }
    EXPECT_EQ(GetDantaiList(), (QStringList{QStringLiteral("abc"), QStringLiteral("XYZ")}));
    EXPECT_EQ(GetDbPath(QStringLiteral("abc")), fixture.Root() + QStringLiteral("/abc/TSUBAKI.FDB"));
    EXPECT_TRUE(QFileInfo(GetDbPath(QStringLiteral("XYZ"))).isFile());
    EXPECT_EQ(LoginFixture::Query(GetDbPath(QStringLiteral("abc")), QStringLiteral("select DANTAIMEI from KANRI")),
              QStringLiteral("abc"));
    EXPECT_EQ(fixture.dialogs.Last().text,
              QStringLiteral("［xyz］は登録済みの団体［XYZ］と同じ団体名です。\r\n英字の大文字と小文字は区別されません。"));
}

// KANRI.DANTAIMEI holds 30 characters: the name box takes no more, so a long name
// never ends in the database's error.
TEST(DantaiTouroku, TheNameBoxTakesAsManyCharactersAsTheDatabaseHolds) {
    LoginFixture fixture;
    Shown<TDantaiTourokuForm> window;
    window.form.Edit2->setFocus();
    window.form.Edit2->insert(QString(40, u'会'));  // as typed or pasted
    EXPECT_EQ(window.form.Edit2->text(), QString(30, u'会'));
    Press(window.form.BitBtn1);
    EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("団体の登録を正常に終了しました。"));
    EXPECT_EQ(LoginFixture::Query(GetDbPath(QString(30, u'会')), QStringLiteral("select DANTAIMEI from KANRI")),
              QString(30, u'会'));
}
