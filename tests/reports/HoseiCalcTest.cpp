// The statements of an amended budget and the organisation's own title and sign
// of 増減, computed by a real spreadsheet program. The fixture is a PTA's year:
// four receipts items, nineteen payments items, one amendment approved during
// the year and a journal of the year. The settlement is loaded the way its
// window loads it, the budget the way its window does, and every printed total
// is compared with a sum the test makes from the saved tables. Runs only where
// soffice is installed.

#include "core/ComputerName.h"
#include "data/DataSet.h"
#include "reports/ExlKessansyoUnit.h"
#include "reports/YosansyoModules.h"
#include "statements/StatementLoads.h"
#include "tests/reports/StatementCalcFixture.h"
#include "tests/support/LibreOffice.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <map>
#include <optional>

namespace {

using Csv = std::vector<QStringList>;

// One item as the saved tables give it.
struct Item {
    int syusi = 0;
    int bunrui = 0;
    qint64 tousyo = 0;  // the budget as approved
    std::optional<qint64> hosei;
    qint64 kessan = 0;
    qint64 Hoseigo() const { return tousyo + hosei.value_or(0); }
};

// What a statement prints on a totals row: the original budget, the amendments,
// the amended budget and the settlement.
struct Figures {
    qint64 tousyo = 0, hosei = 0, hoseigo = 0, kessan = 0;
    void Add(const Item& item) {
        tousyo += item.tousyo;
        hosei += item.hosei.value_or(0);
        hoseigo += item.Hoseigo();
        kessan += item.kessan;
    }
    Figures operator-(const Figures& o) const {
        return {tousyo - o.tousyo, hosei - o.hosei, hoseigo - o.hoseigo, kessan - o.kessan};
    }
};

class HoseiCalcTest : public StatementCalcFixture {
  protected:
    void SetUp() override {
        StatementCalcFixture::SetUp();
        if (IsSkipped())
            return;
        nendo_ = 2025;
        AddYear(nendo_, u"20250401"_qs, u"20260331"_qs);
        // Receipts: the carry-over (built in) and three more.
        const std::pair<int, const char16_t*> classes[] = {{10, u"会費"},   {11, u"補助金"}, {12, u"雑収入"},
                                                           {20, u"運営費"}, {21, u"事業費"}, {22, u"活動費"},
                                                           {23, u"負担金"}, {24, u"慶弔費"}, {25, u"雑費"}};
        for (const auto& [cd, name] : classes)
            AddBunrui(cd, QString::fromUtf16(name), cd < 20 ? 1 : 2, 1, cd);
        const std::pair<int, const char16_t*> items[] = {
            {1001, u"会費"},       {1101, u"市補助金"},   {1201, u"雑収入"},     {2001, u"会議費"},
            {2002, u"印刷費"},     {2003, u"通信費"},     {2004, u"消耗品費"},   {2101, u"研修費"},
            {2102, u"広報費"},     {2103, u"ベルマーク"}, {2104, u"バザー費"},   {2105, u"運動会協力費"},
            {2106, u"卒業記念品"}, {2107, u"入学祝"},     {2201, u"学級活動費"}, {2202, u"委員会活動費"},
            {2203, u"地区活動費"}, {2301, u"市Ｐ連会費"}, {2302, u"県Ｐ連会費"}, {2401, u"慶弔費"},
            {2501, u"雑費"},       {2502, u"振込手数料"}};
        int seq = 0;
        for (const auto& [cd, name] : items) {
            AddKamoku(cd, QString::fromUtf16(name), cd / 100, cd % 100);
            // Dues and a subsidy carry the year; the payments are many and small.
            const bool receipt = cd < 2000;
            const int budget = receipt ? 200000 + (cd % 997) * 1000 : 10000 + (cd % 997) * 100;
            AddYosan(nendo_, 0, cd, budget);
            // The journal: two lines an item, the settlement near its budget.
            for (const int part : {budget / 2, budget / 2 - (cd % 7) * 300}) {
                Exec(
                    u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU, SISYUTSU)"
                    " values (:Q, 0, :N, :H, :K, :S1, :S2)"_qs,
                    {{u"Q"_qs, ++seq},
                     {u"N"_qs, nendo_},
                     {u"H"_qs, seq % 2 ? u"20250510"_qs : u"20260210"_qs},
                     {u"K"_qs, cd},
                     {u"S1"_qs, receipt ? db::Value(part) : db::Value()},
                     {u"S2"_qs, receipt ? db::Value() : db::Value(part)}});
            }
        }
        AddYosan(nendo_, 0, 100, 123456);
        AddYosan(nendo_, 0, 7000, 30000);
        AddYosan(nendo_, 0, 8000, 50000);
        // The amendment: more subsidy, spent on the bazaar and the reserve fund.
        Exec(u"insert into YOSAN_HOSEI (NENDO, HOSEI_NO, SYONIN_BI) values (:N, 1, '20251020')"_qs,
             {{u"N"_qs, nendo_}});
        const std::pair<int, int> amendment[] = {{1101, 20000}, {2102, -5000}, {2104, 15000}, {7000, 10000}};
        for (const auto& [cd, amount] : amendment)
            Exec(
                u"insert into YOSAN_HOSEI_GAKU (NENDO, HOSEI_NO, KAIKEI_KUBUN, KAMOKU, HOSEI)"
                " values (:N, 1, 0, :K, :H)"_qs,
                {{u"N"_qs, nendo_}, {u"K"_qs, cd}, {u"H"_qs, amount}});
        EditNendoRow();
        nendoRow_.Post();
    }

    // The items from the saved tables, summed here rather than by the load.
    std::map<int, Item> ItemsFromTables() {
        std::map<int, Item> items;
        for (const auto& r : module_->SQLConnection1
                                 .Select(u"select Y.KAMOKU, B.SYUSI_KUBUN, K.BUNRUI, Y.YOSAN from YOSAN Y "
                                         u"join KAMOKU K on K.CD = Y.KAMOKU"
                                         " join BUNRUI B on B.CD = K.BUNRUI where Y.NENDO = :N"_qs,
                                         {{u"N"_qs, nendo_}})
                                 .rows)
            items[int(r[0].AsInteger())] = {
                int(r[1].AsInteger()), int(r[2].AsInteger()), r[3].AsInteger(), {}, 0};
        for (const auto& r : module_->SQLConnection1
                                 .Select(u"select KAMOKU, HOSEI from YOSAN_HOSEI_GAKU where NENDO = :N"_qs,
                                         {{u"N"_qs, nendo_}})
                                 .rows)
            items[int(r[0].AsInteger())].hosei =
                items[int(r[0].AsInteger())].hosei.value_or(0) + r[1].AsInteger();
        for (const auto& r :
             module_->SQLConnection1
                 .Select(u"select KAMOKU, sum(coalesce(SYUNYU, 0)), sum(coalesce(SISYUTSU, 0)) from MEISAI"
                         " where NENDO = :N group by KAMOKU"_qs,
                         {{u"N"_qs, nendo_}})
                 .rows) {
            Item& item = items[int(r[0].AsInteger())];
            item.kessan =
                item.syusi == 1 ? r[1].AsInteger() - r[2].AsInteger() : r[2].AsInteger() - r[1].AsInteger();
        }
        items[100].kessan = items[100].Hoseigo();
        qint64 balance = 0;
        for (const auto& [cd, item] : items) {
            if (cd != 8000)
                balance += item.syusi == 1 ? item.kessan : -item.kessan;
        }
        items[8000].kessan = balance;
        return items;
    }

    // The settlement window's load, and the budget window's, under this computer and kJikoku.
    void LoadWorkRows() {
        const db::WorkKey key{GetComputerNameStr(), kJikoku};
        data::DataSet kamoku(u"KamokuClientDS"_qs);
        kamoku.SetConnection(&module_->SQLConnection1);
        kamoku.SetCommandText(statements::StatementKamokuSql());
        kamoku.Open();
        ASSERT_TRUE(statements::SettleToWorkRows(module_->SQLConnection1, nendo_, QString(), key, kamoku));
        kamoku.Close();
        statements::CopyYosanToWorkRows(module_->SQLConnection1, nendo_, key);
        statements::CopyHoseiToWorkRows(module_->SQLConnection1, nendo_, key);
    }

    // The statement `name` of the settlement (or, with `budget`, the budget) list line `line`.
    QString Run(const QString& name, int line, bool budget = false) {
        std::unique_ptr<TExlYosansyoModule> report =
            budget ? NewYosansyoModule(yosansyo::ModuleForLine(line)) : NewKessansyoModule(line);
        report->SetNendo(nendo_);
        report->SetJikoku(kJikoku);
        report->SetNendoDS(&nendoRow_);
        report->SetTemplatemei(name);
        report->SetZeroPrint(false);
        report->Execute();
        EXPECT_EQ(report->SavedFiles().size(), 1);
        const QString file = report->SavedFiles().value(0);
        // For looking at the books: TSUBAKI_KEEP_REPORTS=<folder> keeps a copy.
        if (const QString keep = qEnvironmentVariable("TSUBAKI_KEEP_REPORTS"); !keep.isEmpty()) {
            QDir().mkpath(keep);
            QFile::copy(file, keep + u"/%1_%2.xlsx"_qs.arg(++runs_).arg(name));
        }
        return file;
    }

    void SetTexts(const std::map<QString, db::Value>& values) {
        nendoRow_.Edit();
        for (const auto& [field, value] : values)
            nendoRow_.FieldByName(field).SetValue(value);
        nendoRow_.Post();
    }

    int runs_ = 0;

    static int FindRow(const Csv& csv, const QString& label, int from = 0) {
        for (int r = from; r < int(csv.size()); ++r) {
            if (csv[std::size_t(r)].value(0) == label || csv[std::size_t(r)].value(1) == label)
                return r;
        }
        ADD_FAILURE() << "no row " << label.toStdString();
        return 0;
    }
    static qint64 At(const Csv& csv, int row, char col) {
        return PrintedAmount(csv[std::size_t(row)].value(Col(col)));
    }
};

// The two settlement layouts of the amended budget and the amendment statement
// print, on every totals row and subtotal row, what the tables add up to.
TEST_F(HoseiCalcTest, AmendedBudgetStatementsPrintTheTablesSums) {
    LoadWorkRows();
    const std::map<int, Item> items = ItemsFromTables();
    ASSERT_EQ(items.size(), 25U);  // 4 receipts, 19 payments, the reserve fund and the carry-over
    Figures receipts, payments, carry;
    std::map<int, Figures> classes;
    std::map<int, int> counts;
    for (const auto& [cd, item] : items) {
        if (cd == 8000)
            carry.Add(item);
        else
            (item.syusi == 1 ? receipts : payments).Add(item);
        classes[item.bunrui].Add(item);
        ++counts[item.bunrui];
    }
    const QStringList files{Run(u"決算書９"_qs, 11), Run(u"決算書１０"_qs, 12),
                            Run(u"補正予算書"_qs, 16, true)};
    const auto books = ComputeBooksWithLibreOffice(soffice_, files, temp_.Path());
    ASSERT_EQ(books.size(), 3U);

    for (std::size_t b = 0; b < books.size(); ++b) {
        const Csv& csv = books[b];
        const bool settlement = b < 2;
        SCOPED_TRACE(files[qsizetype(b)].toStdString());
        ASSERT_GT(csv.size(), 3U);
        EXPECT_TRUE(csv[1].value(0).endsWith(settlement ? u"収支決算書"_qs : u"収支補正予算書"_qs))
            << csv[1].value(0).toStdString();
        const auto check = [&](int row, const Figures& f, const char* what) {
            SCOPED_TRACE(what);
            EXPECT_EQ(At(csv, row, 'C'), f.tousyo);
            EXPECT_EQ(At(csv, row, 'D'), f.hosei);
            EXPECT_EQ(At(csv, row, 'E'), f.hoseigo);
            if (settlement) {
                EXPECT_EQ(At(csv, row, 'F'), f.kessan);
                EXPECT_EQ(At(csv, row, 'G'), f.kessan - f.hoseigo);
            }
        };
        check(FindRow(csv, u"収入合計"_qs), receipts, "receipts");
        check(FindRow(csv, u"支出計"_qs), payments, "payments");
        check(FindRow(csv, u"次期繰越金"_qs, FindRow(csv, u"支出計"_qs)), carry, "carry-over");
        Figures all = payments;
        all.tousyo += carry.tousyo;
        all.hosei += carry.hosei;
        all.hoseigo += carry.hoseigo;
        all.kessan += carry.kessan;
        check(FindRow(csv, u"支出合計"_qs), all, "payments with the carry-over");
        if (settlement)
            check(FindRow(csv, u"収支差額"_qs), receipts - payments, "balance");

        // 決算書１０: one subtotal per classification of two items or more, in order.
        std::vector<qint64> expected, found;
        if (b == 1) {
            for (const auto& [bunrui, f] : classes) {
                if (counts[bunrui] >= 2 && bunrui != 80)
                    expected.push_back(f.hoseigo);
            }
        }
        for (int r = 0; r < int(csv.size()); ++r) {
            if (csv[std::size_t(r)].value(1) == u"（小    計）"_qs) {
                found.push_back(At(csv, r, 'E'));
                EXPECT_EQ(At(csv, r, 'C') + At(csv, r, 'D'), At(csv, r, 'E'));
                EXPECT_EQ(At(csv, r, 'G'), At(csv, r, 'F') - At(csv, r, 'E'));
            }
        }
        std::sort(expected.begin(), expected.end());
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected);
    }
}

// 増減 printed either way on either side: every row that prints one (items,
// classification totals, subtotals, totals, carry-over, balance) shows the
// side's sign of its own figures; a title of the organisation's replaces the
// usual one, and without one the usual title stays.
TEST_F(HoseiCalcTest, SignOfZogenPerSideAndTheOrganisationsTitle) {
    LoadWorkRows();
    struct Case {
        int syunyu, sisyutsu;
        const char16_t* title;
    };
    const Case cases[] = {
        {0, 0, nullptr}, {1, 0, u"ＰＴＡ会計　決算報告書"}, {0, 1, nullptr}, {1, 1, nullptr}};
    // Layouts with 増減: the settlement's budget, figure and difference columns.
    // A budget's own figure is this year's budget, compared with last year's.
    struct Layout {
        const char16_t* name;
        int line;
        char budget, own, diff;
        bool isBudget = false;
    };
    const Layout layouts[] = {{u"決算書１", 2, 'B', 'C', 'D'},
                              {u"決算書６", 7, 'C', 'D', 'E'},
                              {u"決算書７", 8, 'D', 'C', 'E'},
                              {u"決算書１０", 12, 'E', 'F', 'G'},
                              {u"予算書７", 8, 'D', 'C', 'E', true}};
    QStringList files;
    for (const Case& c : cases) {
        SetTexts({{u"SYUNYU_ZOGEN_KUBUN"_qs, c.syunyu},
                  {u"SISYUTSU_ZOGEN_KUBUN"_qs, c.sisyutsu},
                  {u"KESSAN_TITLE"_qs, c.title ? db::Value(QString::fromUtf16(c.title)) : db::Value()}});
        for (const Layout& l : layouts)
            files << Run(QString::fromUtf16(l.name), l.line, l.isBudget);
    }
    const auto books = ComputeBooksWithLibreOffice(soffice_, files, temp_.Path());
    ASSERT_EQ(books.size(), std::size(cases) * std::size(layouts));
    std::size_t b = 0;
    for (const Case& c : cases) {
        for (const Layout& l : layouts) {
            const Csv& csv = books[b++];
            SCOPED_TRACE(QString::fromUtf16(l.name).toStdString() + " receipts " + std::to_string(c.syunyu) +
                         " payments " + std::to_string(c.sisyutsu));
            const QString heading = csv[1].value(0);
            if (l.isBudget) {
                EXPECT_TRUE(heading.endsWith(u"　収支予算書"_qs)) << heading.toStdString();  // the settlement's title stays there
            } else if (c.title) {
                EXPECT_TRUE(heading.endsWith(u"　"_qs + QString::fromUtf16(c.title)))
                    << heading.toStdString();
                EXPECT_FALSE(heading.contains(u"収支決算書"_qs));
            } else {
                EXPECT_TRUE(heading.endsWith(u"　収支決算書"_qs)) << heading.toStdString();
            }
            const int payments = FindRow(csv, u"支出の部"_qs);
            // A budget ends with 支出合計; a settlement's 収支差額 follows the receipts.
            const int balance = FindRow(csv, l.isBudget ? u"支出合計"_qs : u"収支差額"_qs) + (l.isBudget ? 1 : 0);
            int checked = 0;
            for (int r = FindRow(csv, u"収入の部"_qs) + 1; r <= balance && r < int(csv.size()); ++r) {
                if (csv[std::size_t(r)].value(Col(l.diff)).isEmpty() || r == payments)
                    continue;
                const bool paymentSide = r > payments && r < balance;
                const int sign = (paymentSide ? c.sisyutsu : c.syunyu) == 1 ? -1 : 1;
                EXPECT_EQ(At(csv, r, l.diff), sign * (At(csv, r, l.own) - At(csv, r, l.budget)))
                    << "row " << r + 1;
                ++checked;
            }
            EXPECT_GT(checked, 6);
        }
    }
}

}  // namespace
