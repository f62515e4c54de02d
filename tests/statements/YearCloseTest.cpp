// 年度の締め: once a year is closed, every path that writes its lines or statements
// refuses with the message naming the year, when and where it was closed, and
// writes nothing — also in windows that loaded the year before the close, and when
// the close comes from another computer through a server. Reopening (password and
// reason asked) lets them write again; every close and reopen is listed.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <functional>
#include <memory>

#include "db/DataModule.h"
#include "db/WorkKeys.h"
#include "db/YearClose.h"
#include "journal/MeisaiNyuryokuUnit.h"
#include "master/NendoMaintUnit.h"
#include "statements/CyukanKessanNyuryokuUnit.h"
#include "statements/YosanNyuryokuUnit.h"
#include "tests/statements/KessanFixture.h"
#include "tests/support/FirebirdServer.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Everything a writing path could change.
const QString kWritten =
    u"select (select count(*) || '/' || coalesce(sum(SYUNYU), 0) from MEISAI) || ' ' || "
    u"(select count(*) || '/' || coalesce(sum(YOSAN), 0) from YOSAN) || ' ' || "
    u"(select count(*) from KESSAN) || ' ' || (select count(*) from CYUKAN_KESSAN) || ' ' || "
    u"(select count(*) from CYUKAN_KESSAN_NENDO) || ' ' || (select count(*) from ZANDAKA_UCHIWAKE) "
    u"from RDB$DATABASE"_s;

}  // namespace

class YearCloseTest : public KessanTest {
  protected:
    // The year's windows, each loaded, the way a treasurer leaves them open.
    struct Windows {
        TMeisaiNyuryokuForm journal;
        TYosanNyuryokuForm budget;
        TKessanNyuryokuForm settlement;
        TCyukanKessanNyuryokuForm interim;
    };

    std::unique_ptr<Windows> OpenAndLoad() {
        db::EnsureSharingObjects(DataModule1().SQLConnection1);
        auto w = std::make_unique<Windows>();
        ShowActive(w->journal);
        EntryWindowTest::Load(w->journal);
        ShowActive(w->budget);
        Load(w->budget);
        ShowActive(w->settlement);
        Load(w->settlement);
        ShowActive(w->interim);
        w->interim.SimebiEdit->setFocus();
        w->interim.SimebiEdit->setText(u"0930"_s);
        Load(w->interim);
        for (TTsubakiBaseForm2* form :
             std::initializer_list<TTsubakiBaseForm2*>{&w->journal, &w->budget, &w->settlement, &w->interim})
            EXPECT_TRUE(form->SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
        return w;
    }

    // Every writing path of the loaded windows: each refused with `message`, the
    // database as it was, the window still holding its load.
    void ExpectEveryWritingPathRefused(Windows& w, const QString& message) {
        db::Connection& c = DataModule1().SQLConnection1;
        const QStringList before = RowsOf(c, kWritten);
        const struct {
            const char* path;
            TTsubakiBaseForm2* form;
            std::function<void()> act;
        } paths[] = {
            {"journal 保存", &w.journal, [&] { Click(w.journal.SaveBtn); }},
            {"journal 取込", &w.journal, [&] { Click(w.journal.TorikomiBtn); }},
            {"budget 保存", &w.budget, [&] { Click(w.budget.SaveBtn); }},
            {"budget 削除", &w.budget,
             [&] {
                 dialogs.QueueAnswer(ModalResult::Yes);
                 Click(w.budget.DeleteBtn);
             }},
            {"budget 前年度取込", &w.budget, [&] { Click(w.budget.ZennenInportBtn); }},
            {"settlement 保存", &w.settlement, [&] { Click(w.settlement.SaveBtn); }},
            {"settlement 削除", &w.settlement,
             [&] {
                 dialogs.QueueAnswer(ModalResult::Yes);
                 Click(w.settlement.DeleteBtn);
             }},
            {"interim 保存", &w.interim, [&] { Click(w.interim.SaveBtn); }},
        };
        for (const auto& p : paths) {
            SCOPED_TRACE(p.path);
            const std::size_t shown = dialogs.Shown().size();
            p.act();
            ASSERT_GT(dialogs.Shown().size(), shown);
            EXPECT_EQ(dialogs.Last().text, message);
            EXPECT_EQ(RowsOf(c, kWritten), before);
            EXPECT_TRUE(p.form->SaveBtn->isEnabled());
        }
    }
};

TEST_F(YearCloseTest, AClosedYearRefusesEveryWriteEvenInWindowsLoadedBeforeTheClose) {
    auto w = OpenAndLoad();
    db::SetYearClosed(module.SQLConnection1, 2021, true, u"AUDIT-PC"_s, u"sato"_s, u"監査済み"_s);
    const auto closure = db::YearClosure(module.SQLConnection1, 2021);
    ASSERT_TRUE(closure.has_value());
    const QString message = db::ClosedYearMessage(*closure);
    EXPECT_TRUE(message.startsWith(u"2021年度は締められています("_s +
                                   closure->at.toString(u"yyyy/MM/dd HH:mm"_s) +
                                   u"、コンピュータ AUDIT-PC)。"_s))
        << message.toStdString();
    ExpectEveryWritingPathRefused(*w, message);
    // Another year is not concerned; reading goes on.
    EXPECT_EQ(db::YearClosure(module.SQLConnection1, 2022), std::nullopt);
    Load(w->settlement);
    EXPECT_TRUE(w->settlement.SaveBtn->isEnabled());

    // Reopened, the same windows save.
    db::SetYearClosed(module.SQLConnection1, 2021, false, u"AUDIT-PC"_s, u"sato"_s, u"訂正のため"_s);
    Click(w->settlement.SaveBtn);
    EXPECT_FALSE(w->settlement.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(Query(u"select count(*) from KESSAN"_s).toInt() > 0, true);
}

TEST_F(YearCloseTest, AYearClosedOnAnotherComputerIsRefusedThroughTheServer) {
    const FirebirdServer server;
    if (!server.Available())
        GTEST_SKIP() << server.Reason().toStdString();
    const auto program = ThroughServer(server);
    auto w = OpenAndLoad();
    db::Connection other([&] { return program->databaseString; });
    db::SetYearClosed(other, 2021, true, u"OTHER-PC"_s, u"suzuki"_s, QString());
    const auto closure = db::YearClosure(other, 2021);
    ASSERT_TRUE(closure.has_value());
    ExpectEveryWritingPathRefused(*w, db::ClosedYearMessage(*closure));
}

TEST_F(YearCloseTest, TheYearWindowClosesAndReopensWithPasswordAndReasonAndListsEveryStep) {
    Execute(u"update KANRI set PASS_WD = 'abc' where KY = 1"_s);
    TNendoMaintForm form;
    ShowActive(form);
    EntryWindowTest::Load(form);
    ASSERT_TRUE(form.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    EXPECT_TRUE(form.SimeBtn->isEnabled());
    EXPECT_FALSE(form.KaijyoBtn->isEnabled());
    std::vector<std::pair<bool, bool>> asked;  // (reopen, password asked)
    std::optional<TNendoMaintForm::SimeAnswer> answer;
    form.AskSime = [&](int nendo, bool reopen, bool askPassword) {
        EXPECT_EQ(nendo, 2021);
        asked.emplace_back(reopen, askPassword);
        return answer;
    };
    // Cancelled: nothing happens.
    Click(form.SimeBtn);
    EXPECT_EQ(db::YearClosure(module.SQLConnection1, 2021), std::nullopt);
    answer = TNendoMaintForm::SimeAnswer{QString(), u"監査済み"_s};
    Click(form.SimeBtn);
    EXPECT_EQ(dialogs.Last().text, u"2021年度を締めました。"_s);
    ASSERT_TRUE(db::YearClosure(module.SQLConnection1, 2021).has_value());
    EXPECT_FALSE(form.SimeBtn->isEnabled());
    EXPECT_TRUE(form.KaijyoBtn->isEnabled());
    EXPECT_TRUE(form.SimeStateLabel->text().startsWith(u"2021年度は締められています("_s));

    // Reopening needs the password and a reason.
    const struct {
        const char* name;
        QString password, reason, message;
    } refused[] = {
        {"wrong password", u"abd"_s, u"訂正"_s, u"パスワードが正しくありません。"_s},
        {"no reason", u"abc"_s, u"　"_s, u"解除の理由を入力してください。"_s},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.name);
        answer = TNendoMaintForm::SimeAnswer{r.password, r.reason};
        Click(form.KaijyoBtn);
        EXPECT_EQ(dialogs.Last().text, r.message);
        EXPECT_TRUE(db::YearClosure(module.SQLConnection1, 2021).has_value());
    }
    answer = TNendoMaintForm::SimeAnswer{u"abc"_s, u"寄付金の計上漏れ"_s};
    Click(form.KaijyoBtn);
    EXPECT_EQ(dialogs.Last().text, u"2021年度の締めを解除しました。"_s);
    EXPECT_EQ(db::YearClosure(module.SQLConnection1, 2021), std::nullopt);
    EXPECT_EQ(asked, (std::vector<std::pair<bool, bool>>{
                         {false, false}, {false, false}, {true, true}, {true, true}, {true, true}}));
    ASSERT_EQ(form.SimeList->rowCount(), 2);
    const auto row = [&](int r) {
        QStringList cells;
        for (int c = 1; c < 5; ++c)
            cells << form.SimeList->item(r, c)->text();
        return cells.join(u'|');
    };
    const QString host = form.SimeList->item(0, 2)->text();
    EXPECT_FALSE(host.isEmpty());
    EXPECT_EQ(row(0), u"締め|"_s + host + u"|"_s + form.SimeList->item(0, 3)->text() + u"|監査済み"_s);
    EXPECT_EQ(row(1).section(u'|', 0, 0), u"解除"_s);
    EXPECT_EQ(row(1).section(u'|', 3), u"寄付金の計上漏れ"_s);
}
