// Every kind of report the command line offers, made from the sample organisation's
// saved year, against the same report made from its window after loading that year:
// LibreOffice computes both books (one run over all of them) and every sheet must
// show the same figures. The same run gives the monthly summary that the exported
// ledger journal must balance to (hledger), and a PDF must carry the organisation
// and a total.

#include "tests/cli/CliFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTreeWidget>

#include <map>
#include <memory>
#include <tuple>

#include "cli/ReportKinds.h"
#include "core/KyotsuUnit.h"
#include "db/WorkKeys.h"
#include "journal/MeisaiNyuryokuUnit.h"
#include "kaihi/KaihiCyosyuUnit.h"
#include "kaihi/SetaiMaintUnit.h"
#include "platform/Folders.h"
#include "statements/CyukanKessanNyuryokuUnit.h"
#include "statements/KessanNyuryokuUnit.h"
#include "statements/KessansyoSelectUnit.h"
#include "statements/YosanNyuryokuUnit.h"
#include "statements/YosansyoSelectUnit.h"
#include "statements/ZandakaUchiwake.h"
#include "tests/support/DataWindowFixture.h"
#include "tests/support/LibreOffice.h"
#include "ui/YearEdit.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using Csv = std::vector<QStringList>;
using Sheets = std::map<QString, Csv>;

const int kYear = 2026;
const QStringList kLedgerKinds{u"会費徴収一覧"_s, u"未納一覧"_s, u"班別世帯数"_s};
const QString kClosing = u"0930"_s;

// One report made both ways.
struct Pair {
    QString kind;
    QString closing;  // an interim statement's closing date
    QString cliBook;
    QString windowBook;
    Sheets cli, window;
};

class CliCalcTest : public CliFixture {
  protected:
    static void SetUpTestSuite() {
        CliFixture::SetUpTestSuite();
        soffice_ = FindSoffice();
        if (soffice_.isEmpty())
            return;
        pairs_ = new std::vector<Pair>;
        for (const cli::ReportKind& kind : cli::ReportKinds(ProgramFolder())) {
            // Receipts write their numbers as they are made: their own tests compare them.
            if (kind.family == cli::ReportFamily::Receipts)
                continue;
            pairs_->push_back({kind.name, QString(), {}, {}, {}, {}});
            if (kind.name == u"決算書３"_s || kind.name == u"簡易決算書"_s)
                pairs_->push_back({kind.name, kClosing, {}, {}, {}, {}});
        }
        MakeCliBooks();
        MakeWindowBooks();
        QStringList books;
        for (const Pair& p : *pairs_)
            books << p.cliBook << p.windowBook;
        const auto computed = ComputeSheetsWithLibreOffice(soffice_, books, Folder() + u"/calc"_s);
        for (std::size_t i = 0; i < pairs_->size() && 2 * i + 1 < computed.size(); ++i) {
            (*pairs_)[i].cli = computed[2 * i];
            (*pairs_)[i].window = computed[2 * i + 1];
        }
    }
    static void TearDownTestSuite() {
        delete pairs_;
        pairs_ = nullptr;
        CliFixture::TearDownTestSuite();
    }
    void SetUp() override {
        if (soffice_.isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    }

    static void MakeCliBooks() {
        int n = 0;
        for (Pair& p : *pairs_) {
            p.cliBook = Out(u"cli%1.xlsx"_s.arg(++n));
            QStringList args{u"report"_s, u"--org"_s, kSample,    u"--year"_s, QString::number(kYear),
                             u"--kind"_s, p.kind,     u"--out"_s, p.cliBook};
            if (!p.closing.isEmpty())
                args << u"--closing"_s << p.closing;
            const bool ledger = kLedgerKinds.contains(p.kind);
            // The windows count the households and what is owed today.
            if (ledger && p.kind != u"会費徴収一覧"_s)
                args << u"--date"_s << QDate::currentDate().toString(u"yyyyMMdd"_s);
            // The sample organisation's statement windows remember the chart sheet.
            if (p.kind != u"収支明細表"_s && p.kind != u"月別集計表"_s && p.kind != u"残高照合表"_s &&
                !ledger)
                args << u"--charts"_s;
            const CliResult result = Run(args);
            EXPECT_EQ(result.code, 0) << p.kind.toStdString() << ": " << result.err.toStdString();
        }
    }

    // The books the windows make, in this process on a copy of its own (an embedded
    // database is one program's at a time), with the program's folder and settings
    // of the command line's copy.
    static void MakeWindowBooks() {
        const QString copy = Folder() + u"/window/TSUBAKI.FDB"_s;
        QDir().mkpath(Folder() + u"/window"_s);
        ASSERT_TRUE(QFile::copy(DatabaseOf(kSample), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        platform::OverrideProgramFolder(ProgramFolder());
        ScriptedDialogs dialogs;
        {
            TDataModule1 module{[copy] { return copy; }};
            DataModuleInstallation installation{module};
            CurrentDantai = kSample;
            CurrentNendo = kYear;
            db::EnsureSharingObjects(module.SQLConnection1);
            std::map<QString, QString> journal = JournalBooks();
            std::map<QString, QString> ledger = LedgerBooks();
            std::map<QString, QString> budget =
                StatementBooks<TYosanNyuryokuForm, TYosansyoSelectForm>(QString());
            std::map<QString, QString> settlement =
                StatementBooks<TKessanNyuryokuForm, TKessansyoSelectForm>(QString());
            std::map<QString, QString> interim =
                StatementBooks<TCyukanKessanNyuryokuForm, TKessansyoSelectForm>(kClosing);
            for (Pair& p : *pairs_) {
                auto& made = !p.closing.isEmpty()       ? interim
                             : journal.contains(p.kind) ? journal
                             : ledger.contains(p.kind)  ? ledger
                             : budget.contains(p.kind)  ? budget
                                                        : settlement;
                p.windowBook = made[p.kind];
                EXPECT_FALSE(p.windowBook.isEmpty()) << p.kind.toStdString();
            }
            module.SQLConnection1.Close();
        }
        ClearLoginState();
        platform::OverrideProgramFolder(QString());
        EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    }

    static QString NewestReport() {
        const QFileInfoList files =
            QDir(Folder() + u"/reports"_s).entryInfoList({u"*.xlsx"_s}, QDir::Files, QDir::Time);
        return files.isEmpty() ? QString() : files.front().filePath();
    }

    static std::map<QString, QString> JournalBooks() {
        std::map<QString, QString> books;
        TMeisaiNyuryokuForm form;
        ShowActive(form);
        form.Edit1->setFocus();
        form.Edit1->selectAll();
        Type(QString::number(kYear));
        Press(Qt::Key_Return);
        EXPECT_TRUE(form.SaveBtn->isEnabled());
        for (auto [button, kind] : {std::pair{form.SyusiMeisaiBtn, u"収支明細表"_s},
                                    std::pair{form.TsukibetsuSyukeiBtn, u"月別集計表"_s}}) {
            const QStringList before = QDir(Folder() + u"/reports"_s).entryList(QDir::Files);
            QTest::mouseClick(button, Qt::LeftButton);
            Settle();
            const QStringList after = QDir(Folder() + u"/reports"_s).entryList(QDir::Files);
            for (const QString& name : after)
                if (!before.contains(name))
                    books[kind] = Folder() + u"/reports/"_s + name;
        }
        QTest::mouseClick(form.CancelBtn, Qt::LeftButton);
        Settle();
        return books;
    }

    // The dues ledger's lists from their buttons: 会費徴収一覧 of the kind the
    // collection window shows first, 未納一覧 and 班別世帯数 of today.
    static std::map<QString, QString> LedgerBooks() {
        std::map<QString, QString> books;
        const auto press = [&](QPushButton* button, const QString& kind) {
            const QStringList before = QDir(Folder() + u"/reports"_s).entryList(QDir::Files);
            button->click();
            Settle();
            for (const QString& name : QDir(Folder() + u"/reports"_s).entryList(QDir::Files))
                if (!before.contains(name))
                    books[kind] = Folder() + u"/reports/"_s + name;
        };
        {
            TKaihiCyosyuForm form(kYear);
            ShowActive(form);
            press(form.IchiranBtn, u"会費徴収一覧"_s);
            press(form.MinouBtn, u"未納一覧"_s);
        }
        {
            TSetaiMaintForm form;
            ShowActive(form);
            press(form.SetaisuBtn, u"班別世帯数"_s);
        }
        return books;
    }

    // Every statement of the choice window, from the entry window `Form` loaded.
    template <class Form, class Select>
    static std::map<QString, QString> StatementBooks(const QString& closing) {
        std::map<QString, QString> books;
        Form form;
        ShowActive(form);
        form.Edit1->setFocus();
        form.Edit1->selectAll();
        Type(QString::number(kYear));
        if constexpr (std::is_same_v<Form, TCyukanKessanNyuryokuForm>) {
            form.SimebiEdit->setFocus();
            form.SimebiEdit->selectAll();
            Type(closing);
        }
        form.NyuryokuBtn->setFocus(Qt::TabFocusReason);
        Settle();
        EXPECT_TRUE(form.SaveBtn->isEnabled());
        std::unique_ptr<Select> select;
        if constexpr (std::is_same_v<Select, TKessansyoSelectForm>)
            select = std::make_unique<Select>(kYear, form.Jikoku, &form.NendoClientDS,
                                              closing.isEmpty() ? QString() : form.CyukanSimebi(), &form);
        if constexpr (std::is_same_v<Select, TKessansyoSelectForm>)
            select->SetPlaces(form.UchiwakePlaces());
        else
            select = std::make_unique<Select>(kYear, form.Jikoku, &form.NendoClientDS, &form);
        ShowActive(*select);
        for (int i = 0; i < select->ListView1->topLevelItemCount(); ++i) {
            select->ListView1->setCurrentItem(select->ListView1->topLevelItem(i));
            select->ZeroCheckBox->setChecked(
                true);  // items without amounts left out, as the command line does
            select->ExecBtnClick();
            books[select->ListView1->topLevelItem(i)->text(0)] = select->LastSavedFiles().value(0);
        }
        select->close();
        QTest::mouseClick(form.CancelBtn, Qt::LeftButton);
        Settle();
        return books;
    }

    static const Pair& Find(const QString& kind, const QString& closing = QString()) {
        for (const Pair& p : *pairs_)
            if (p.kind == kind && p.closing == closing)
                return p;
        throw std::runtime_error("no such kind");
    }

    static QString soffice_;
    static std::vector<Pair>* pairs_;
};

QString CliCalcTest::soffice_;
std::vector<Pair>* CliCalcTest::pairs_ = nullptr;

// A number as the books show it ("1,234" and "△1,234" read as numbers).
qint64 Number(QString text) {
    text.remove(u',');
    if (text.startsWith(u'△'))
        text = u'-' + text.mid(1);
    return text.toLongLong();
}

TEST_F(CliCalcTest, EveryKindComputesToTheFiguresOfTheWindowsBook) {
    ASSERT_EQ(pairs_->size(), 2u + 16u + 12u + 2u + 3u);
    for (const Pair& p : *pairs_) {
        SCOPED_TRACE((p.kind + u' ' + p.closing).toStdString());
        ASSERT_FALSE(p.cli.empty());
        ASSERT_EQ(p.cli.size(), p.window.size());
        bool figures = false;
        for (const auto& [sheet, rows] : p.cli) {
            SCOPED_TRACE(sheet.toStdString());
            ASSERT_TRUE(p.window.contains(sheet));
            const Csv& window = p.window.at(sheet);
            ASSERT_EQ(rows.size(), window.size());
            for (std::size_t r = 0; r < rows.size(); ++r) {
                EXPECT_EQ(rows[r], window[r]) << "row " << r + 1;
                // Household counts have no thousands: at least two digits there.
                const QRegularExpression figure(p.kind == u"班別世帯数"_s ? u"^[1-9][0-9]+$"_s
                                                                          : u"^[1-9][0-9,]{3,}$"_s);
                for (const QString& cell : rows[r])
                    figures = figures || cell.contains(figure);
            }
        }
        EXPECT_TRUE(figures) << "a book without figures compares nothing";
    }
}

TEST_F(CliCalcTest, TheLedgerExportBalancesEveryItemToTheMonthlySummary) {
    const QString hledger = QStandardPaths::findExecutable(u"hledger"_s);
    if (hledger.isEmpty())
        GTEST_SKIP() << "hledger is not installed";
    const QString journal = Out(u"2026.journal"_s);
    const CliResult exported = Run({u"export"_s, u"--org"_s, kSample, u"--year"_s, QString::number(kYear),
                                    u"--format"_s, u"ledger"_s, u"--out"_s, journal});
    ASSERT_EQ(exported.code, 0) << exported.err.toStdString();
    QProcess balance;
    balance.start(hledger, {u"-f"_s, journal, u"balance"_s, u"-O"_s, u"csv"_s});
    ASSERT_TRUE(balance.waitForFinished(120000));
    ASSERT_EQ(balance.exitCode(), 0) << balance.readAllStandardError().toStdString();
    // account → balance, for the items: "収入:<division>:<code> <name>".
    std::map<std::pair<QString, QString>, qint64> items;
    for (const QStringList& row : ParseCsv(QString::fromUtf8(balance.readAllStandardOutput()))) {
        const QStringList parts = row.value(0).split(u':');
        if (parts.size() != 3 || (parts[0] != u"収入"_s && parts[0] != u"支出"_s))
            continue;
        const qint64 amount = Number(row.value(1).remove(u" JPY"_s));
        // Receipts are income: negative in the journal, positive in the summary.
        items[{parts[1], parts[2].section(u' ', 1)}] = parts[0] == u"収入"_s ? -amount : amount;
    }
    ASSERT_FALSE(items.empty());

    // The summary: each division's sheet, an item's name in column B and its year in
    // the last column, in the receipts and payments parts.
    const Sheets& summary = Find(u"月別集計表"_s).cli;
    std::map<std::pair<QString, QString>, qint64> summed;
    for (const auto& [division, rows] : summary) {
        bool inItems = false;
        for (const QStringList& row : rows) {
            if (row.value(0) == u"収入の部"_s || row.value(0) == u"支出の部"_s) {
                inItems = true;
                continue;
            }
            if (row.value(0).endsWith(u"計"_s) || row.value(0).startsWith(u"決算書に記載しない"_s))
                inItems = false;
            if (!inItems || row.value(1).isEmpty() || row.value(1) == u"前年度繰越金"_s)
                continue;
            if (const qint64 total = Number(row.back()); total != 0)
                summed[{division, row.value(1)}] = total;
        }
    }
    ASSERT_FALSE(summed.empty());
    // Both ways: every item with a total is in the journal, every journal item in the summary.
    for (const auto& [item, total] : summed) {
        SCOPED_TRACE((item.first + u' ' + item.second).toStdString());
        EXPECT_TRUE(items.contains(item));
        EXPECT_EQ(items[item], total);
    }
    // The carry-over from the previous year opens each division (its own check
    // against the settlement is the ledger balance test's).
    for (const auto& [item, total] : items) {
        if (total != 0 && item.second != u"前年度繰越金"_s) {
            EXPECT_TRUE(summed.contains(item)) << (item.first + u' ' + item.second).toStdString();
        }
    }
}

// The sample's year with places saved at its year-end: the block under each
// carry-over of 決算書５ (the settlement in D) ends at that carry-over, and the
// 残高照合表 prints each division's book balance, its places and the difference.
TEST_F(CliCalcTest, TheBalancesOfTheYearEndFromTheCommandLine) {
    const int year = 2025;
    const QString statement = Out(u"balances-kessan.xlsx"_s);
    const QString check = Out(u"balances-check.xlsx"_s);
    for (const auto& [kind, book, balances] :
         {std::tuple{u"決算書５"_s, statement, true}, std::tuple{u"残高照合表"_s, check, false}}) {
        QStringList args{u"report"_s, u"--org"_s, kSample,    u"--year"_s, QString::number(year),
                         u"--kind"_s, kind,       u"--out"_s, book};
        if (balances)
            args << u"--balances"_s;
        const CliResult made = Run(args);
        ASSERT_EQ(made.code, 0) << made.err.toStdString();
    }
    const auto books = ComputeBooksWithLibreOffice(soffice_, {statement, check}, Folder() + u"/balances"_s);
    ASSERT_EQ(books.size(), 2u);

    db::Connection connection(Provider(kSample));
    const auto places = statements::SavedPlaces(connection, {year, QString()});
    ASSERT_EQ(places.size(), 2u);
    std::vector<qint64> bookBalances, sums;
    for (const auto& [division, list] : places) {
        bookBalances.push_back(statements::BookBalance(connection, {year, QString()}, division));
        qint64 sum = 0;
        for (const statements::Place& p : list)
            sum += p.amount.value_or(0);
        sums.push_back(sum);
    }

    // 決算書５: per division, the block's places add up to its 合計, and its last
    // line is the carry-over printed above the block.
    const Csv& kessan = books[0];
    std::size_t blocks = 0;
    QString carryOver;
    for (std::size_t r = 0; r < kessan.size(); ++r) {
        const QString label = kessan[r].value(0);
        if (label == u"次期繰越金"_s && carryOver.isEmpty()) {
            carryOver = kessan[r].value(3);
            continue;
        }
        if (label != u"残高内訳"_s)
            continue;
        SCOPED_TRACE(blocks);
        ASSERT_LT(blocks, sums.size());
        qint64 sum = 0;
        std::size_t end = r + 1;
        for (; end < kessan.size() && kessan[end].value(0) != u"合計"_s; ++end)
            sum += Number(kessan[end].value(3));
        ASSERT_LT(end, kessan.size());
        EXPECT_EQ(sum, sums[blocks]);
        EXPECT_EQ(Number(kessan[end].value(3)), sum);
        while (end + 1 < kessan.size() && !kessan[end + 1].value(0).isEmpty())
            ++end;
        EXPECT_EQ(kessan[end].value(3), carryOver) << kessan[end].join(u'|').toStdString();
        carryOver.clear();
        ++blocks;
    }
    EXPECT_EQ(blocks, sums.size());

    // 残高照合表: one page per division.
    const Csv& syogo = books[1];
    std::vector<qint64> printedBook, printedTotal, printedDifference;
    for (const QStringList& row : syogo) {
        if (row.value(0) == u"帳簿残高（収支明細表の最終残高）"_s)
            printedBook.push_back(Number(row.value(2)));
        if (row.value(0) == u"内訳合計"_s)
            printedTotal.push_back(Number(row.value(2)));
        if (row.value(0) == u"差額（帳簿残高－内訳合計）"_s)
            printedDifference.push_back(Number(row.value(2)));
    }
    EXPECT_EQ(printedBook, bookBalances);
    EXPECT_EQ(printedTotal, sums);
    ASSERT_EQ(printedDifference.size(), sums.size());
    for (std::size_t i = 0; i < sums.size(); ++i)
        EXPECT_EQ(printedDifference[i], bookBalances[i] - sums[i]) << i;
}

TEST_F(CliCalcTest, APdfHoldsTheOrganisationAndItsTotals) {
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const QString pdf = Out(u"決算書.pdf"_s);
    const CliResult made = Run({u"report"_s, u"--org"_s, kSample, u"--year"_s, QString::number(kYear),
                                u"--kind"_s, u"決算書１"_s, u"--out"_s, pdf});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    QProcess text;
    text.start(pdftotext, {u"-layout"_s, pdf, u"-"_s});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString shown = QString::fromUtf8(text.readAllStandardOutput()).remove(u',');
    EXPECT_TRUE(shown.contains(kSample)) << shown.toStdString();
    // The first division's receipts total, as LibreOffice computed the book.
    QString total;
    for (const QStringList& row : Find(u"決算書１"_s).cli.begin()->second)
        if (total.isEmpty() && row.value(0) == u"収入合計"_s)
            total = row.value(1).remove(u',');
    ASSERT_FALSE(total.isEmpty());
    EXPECT_TRUE(shown.contains(total)) << total.toStdString();
}

}  // namespace
