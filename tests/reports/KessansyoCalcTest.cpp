// The nine settlement statements, year-end and interim, computed by a real
// spreadsheet program: every layout is run on the settlement window's work rows
// (W_KESSAN), LibreOffice computes the templates' formulas, and the totals,
// subtotals, differences and carry-over of every division are checked against
// sums the test makes itself; the interim texts and the signature and audit
// footer are looked for where they belong. Runs only where soffice is installed.

#include "core/ComputerName.h"
#include "data/DataSet.h"
#include "reports/ExlKessansyoUnit.h"
#include "templates/KessansyoLayouts.h"
#include "tests/reports/StatementCalcFixture.h"
#include "tests/support/LibreOffice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <algorithm>
#include <map>
#include <optional>

namespace {

namespace kl = templates::kessansyo;
// The layouts checked here; those of the amended budget follow them in the
// table and are checked by HoseiCalcTest.
constexpr std::size_t kChecked =
    std::size_t(std::count_if(kl::kLayouts.begin(), kl::kLayouts.end(),
                              [](const auto& l) { return l.family != templates::yosansyo::Family::Hosei; }));
using Family = templates::yosansyo::Family;

struct WorkRow {
    int division;
    int kamoku;
    int syusi;
    int bunrui;
    std::optional<int> yosan;
    std::optional<int> kessan;
    int junjyo = 99;
};

using Csv = std::vector<QStringList>;

QString Name(const templates::yosansyo::Layout& layout) {
    return QString::fromUtf8(layout.name.data(), qsizetype(layout.name.size()));
}

class KessansyoCalcTest : public StatementCalcFixture {
  protected:
    void AddWork(const WorkRow& w, const QString& tekiyo = QString()) {
        const auto v = [](std::optional<int> x) { return x ? db::Value(*x) : db::Value(); };
        Exec(u"insert into W_KESSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN, KESSAN, TEKIYO,"
             " SYUSI_KUBUN, BUNRUI, BUNRUI_JUNJYO, KAMOKU_JUNJYO) values (:C, :J, :N, :D, :K, :JU, :Y, :R, :T, :S,"
             " :B, :B, :K)"_qs,
             {{u"C"_qs, GetComputerNameStr()},
              {u"J"_qs, kJikoku},
              {u"N"_qs, nendo_},
              {u"D"_qs, w.division},
              {u"K"_qs, w.kamoku},
              {u"JU"_qs, w.junjyo},
              {u"Y"_qs, v(w.yosan)},
              {u"R"_qs, v(w.kessan)},
              {u"T"_qs, tekiyo.isNull() ? db::Value() : db::Value(tekiyo)},
              {u"S"_qs, w.syusi},
              {u"B"_qs, w.bunrui}});
    }

    std::vector<WorkRow> ReadWork() {
        std::vector<WorkRow> rows;
        const auto opt = [](const db::Value& x) { return x.IsNull() ? std::optional<int>() : int(x.AsInteger()); };
        const QString sql =
            u"select KAIKEI_KUBUN, KAMOKU, SYUSI_KUBUN, BUNRUI, YOSAN, KESSAN from W_KESSAN W"
            " where JIKOKU = :J"_qs +
            PrintedOrder(u"W_KESSAN"_qs);
        for (const auto& r : module_->SQLConnection1.Select(sql, {{u"J"_qs, kJikoku}}).rows)
            rows.push_back({int(r[0].AsInteger()), int(r[1].AsInteger()), int(r[2].AsInteger()),
                            int(r[3].AsInteger()), opt(r[4]), opt(r[5])});
        return rows;
    }

    // The settlement window's statement-texts row: every signer and both auditors.
    void OpenNendoRow() {
        EditNendoRow();
        const auto set = [this](const char* field, const db::Value& value) {
            nendoRow_.FieldByName(QString::fromLatin1(field)).SetValue(value);
        };
        set("KESSAN_COMMENT", db::Value(u"上記のとおり報告します。"_qs));
        set("KESSAN_HIZUKE", db::Value(u"2022年4月20日"_qs));
        set("KESSAN_SYOMEI", db::Value(u"つばき町内会"_qs));
        set("YAKUSYOKU", db::Value(u"会長"_qs));
        set("DAIHYOSYA", db::Value(u"椿太郎"_qs));
        set("KAIKEI_YAKUSYOKU", db::Value(u"会計"_qs));
        set("KAIKEI1", db::Value(u"山田花子"_qs));
        set("KAIKEI2", db::Value(u"鈴木一郎"_qs));
        set("KESSAN_SYOMEI_KUBUN1", db::Value(1));
        set("KESSAN_SYOMEI_KUBUN2", db::Value(1));
        set("KESSAN_SYOMEI_KUBUN3", db::Value(1));
        set("KANSA_COMMENT", db::Value(u"監査の結果、適正であることを認めます。"_qs));
        set("KANSA_HIZUKE", db::Value(u"2022年4月25日"_qs));
        set("KANSA_YAKUSYOKU", db::Value(u"監事"_qs));
        set("KANSA1", db::Value(u"佐藤次郎"_qs));
        set("KANSA2", db::Value(u"高橋三郎"_qs));
        set("KANSA_SYOMEI_KUBUN1", db::Value(1));
        set("KANSA_SYOMEI_KUBUN2", db::Value(1));
        set("KESSAN_BIKOU", db::Value(u"備考：会計年度は4月1日から3月31日まで"_qs));
        nendoRow_.Post();
    }

    QStringList RunAll(bool zeroPrint, const QString& cyukanSimebi) {
        QStringList files;
        for (std::size_t i = 0; i < kChecked; ++i) {
            auto report = NewKessansyoModule(int(i) + 1);
            report->SetNendo(nendo_);
            report->SetJikoku(kJikoku);
            report->SetNendoDS(&nendoRow_);
            report->SetTemplatemei(Name(kl::kLayouts[i]));
            report->SetZeroPrint(zeroPrint);
            report->SetCyukanSimebi(cyukanSimebi);
            report->Execute();
            EXPECT_EQ(report->SavedFiles().size(), 1);
            files << report->SavedFiles().value(0);
        }
        return files;
    }

    std::vector<Csv> Compute(const QStringList& files) {
        // For looking at the books: TSUBAKI_KEEP_REPORTS=<folder> keeps a copy.
        if (const QString keep = qEnvironmentVariable("TSUBAKI_KEEP_REPORTS"); !keep.isEmpty()) {
            QDir().mkpath(keep);
            const int run = ++conversions_;
            for (const QString& file : files)
                QFile::copy(file, keep + u"/%1_"_qs.arg(run) + QFileInfo(file).fileName());
        }
        return ComputeBooksWithLibreOffice(soffice_, files, temp_.Path());
    }

    void CheckBook(const templates::yosansyo::Layout& layout, const Csv& csv, const std::vector<WorkRow>& work,
                   bool zeroPrint, bool interim, const std::vector<int>& divisions) {
        const bool compares = !layout.hikakuField.empty();
        // The settlement's column, the budget's and the difference's.
        const bool ownFirst = layout.kingakuField1 == "KESSAN";
        char ownCol = 'B', budgetCol = 0, diffCol = 0, itemCol = 'B', subtotalLabelCol = 'B';
        switch (layout.family) {
            case Family::Kani:
                break;
            case Family::Kamoku:
                ownCol = itemCol = 'C';
                break;
            case Family::Bunrui:
                ownCol = ownFirst ? 'B' : 'C';
                budgetCol = ownFirst ? 'C' : 'B';
                diffCol = 'D';
                itemCol = 'H';
                break;
            case Family::Hikaku:
                ownCol = itemCol = ownFirst ? 'C' : 'D';
                budgetCol = ownFirst ? 'D' : 'C';
                diffCol = 'E';
                break;
            case Family::Hosei:  // not among kChecked
                ADD_FAILURE() << "checked by HoseiCalcTest";
                return;
        }
        const auto printed = [&](const WorkRow& w) {
            const auto present = [zeroPrint](std::optional<int> x) { return x && (zeroPrint || *x != 0); };
            return present(w.kessan) || (compares && present(w.yosan));
        };
        const auto at = [&](int row, char col) { return csv[std::size_t(row)].value(Col(col)); };
        const auto anyCell = [&](const QString& text) {
            return std::any_of(csv.begin(), csv.end(), [&](const QStringList& row) { return row.contains(text); });
        };

        // The header: an interim statement says so in its title and ends at the closing date.
        ASSERT_GE(csv.size(), 3U);
        EXPECT_EQ(csv[1].value(0).contains(u"中間収支決算書"_qs), interim) << csv[1].value(0).toStdString();
        EXPECT_TRUE(csv[1].value(0).contains(u"収支決算書"_qs));
        EXPECT_TRUE(csv[2].value(0).contains(interim ? periodInterim_ : period_)) << csv[2].value(0).toStdString();
        EXPECT_TRUE(csv[2].value(0).startsWith(reportYear_ + u"報告"_qs)) << csv[2].value(0).toStdString();

        std::vector<int> starts;
        for (int r = 0; r < int(csv.size()); ++r) {
            if (at(r, 'A') == u"収入の部"_qs)
                starts.push_back(r);
        }
        ASSERT_EQ(starts.size(), divisions.size());

        // The footer below the last block: the signers in order, both auditors.
        const char title = layout.yakusyokuColumn, name = layout.daihyosyaColumn;
        int sign = -1;
        for (int r = starts.back(); r < int(csv.size()); ++r) {
            if (at(r, 'A') == u"上記のとおり報告します。"_qs)
                sign = r + 1;
        }
        ASSERT_GT(sign, 0) << "settlement comment";
        EXPECT_EQ(at(sign, 'B'), u"2022年4月20日"_qs);
        EXPECT_EQ(at(sign, 'C'), u"つばき町内会"_qs);
        const QStringList signers{at(sign, title) + at(sign, name), at(sign + 1, title) + at(sign + 1, name),
                                  at(sign + 2, title) + at(sign + 2, name)};
        EXPECT_EQ(signers, (QStringList{u"会長椿太郎"_qs, u"会計山田花子"_qs, u"会計鈴木一郎"_qs}));
        // The template's blank row below the signers, then the auditors.
        EXPECT_EQ(at(sign + 4, 'A'), u"監査の結果、適正であることを認めます。"_qs);
        const int audit = sign + 5;
        EXPECT_EQ(at(audit, 'B'), u"2022年4月25日"_qs);
        EXPECT_EQ(at(audit, title) + at(audit, name), u"監事佐藤次郎"_qs);
        EXPECT_EQ(at(audit + 1, title) + at(audit + 1, name), u"監事高橋三郎"_qs);
        EXPECT_EQ(at(audit + 3, 'A'), u"備考：会計年度は4月1日から3月31日まで"_qs);

        starts.push_back(int(csv.size()));
        for (std::size_t k = 0; k < divisions.size(); ++k) {
            const int division = divisions[k];
            SCOPED_TRACE("division " + std::to_string(division));
            const auto findRow = [&](char col, const QString& label) {
                for (int r = starts[k]; r < starts[k + 1]; ++r) {
                    if (at(r, col) == label)
                        return r;
                }
                ADD_FAILURE() << "no row " << label.toStdString();
                return starts[k];
            };
            qint64 receipts = 0, receiptsBudget = 0, payments = 0, paymentsBudget = 0;
            std::optional<WorkRow> carry;
            std::map<int, int> kensu;
            for (const WorkRow& w : work) {
                if (w.division != division || !printed(w))
                    continue;
                ++kensu[w.bunrui];
                if (w.kamoku == 8000) {
                    carry = w;
                } else if (w.syusi == 1) {
                    receipts += w.kessan.value_or(0);
                    receiptsBudget += w.yosan.value_or(0);
                } else {
                    payments += w.kessan.value_or(0);
                    paymentsBudget += w.yosan.value_or(0);
                }
            }
            const auto checkTotals = [&](int row, qint64 own, qint64 budget, const char* what) {
                SCOPED_TRACE(what);
                EXPECT_EQ(PrintedAmount(at(row, ownCol)), own);
                if (itemCol != ownCol) {
                    EXPECT_EQ(PrintedAmount(at(row, itemCol)), own);
                }
                if (budgetCol) {
                    EXPECT_EQ(PrintedAmount(at(row, budgetCol)), budget);
                    EXPECT_EQ(PrintedAmount(at(row, diffCol)), own - budget);
                }
            };
            // Each classification once, with one total.
            if (layout.family != Family::Kani) {
                std::map<int, QString> classes;
                for (const auto& [cd, count] : kensu) {
                    if (cd != 80)
                        classes[cd] = bunruiNames_.at(cd);
                }
                const QStringList shown = ClassificationsPrinted(csv, starts[k], starts[k + 1], classes);
                EXPECT_EQ(shown.size(), qsizetype(classes.size())) << shown.join(u',').toStdString();
            }
            checkTotals(findRow('A', u"収入合計"_qs), receipts, receiptsBudget, "receipts");
            checkTotals(findRow('A', u"支出計"_qs), payments, paymentsBudget, "payments");
            checkTotals(findRow('A', u"収支差額"_qs), receipts - payments, receiptsBudget - paymentsBudget, "balance");
            qint64 carryOwn = 0, carryBudget = 0;
            if (carry) {
                carryOwn = carry->kessan.value_or(0);
                carryBudget = compares ? carry->yosan.value_or(0) : 0;
            }
            if (carryOwn != 0 || carryBudget != 0)
                checkTotals(findRow('A', interim ? u"次月繰越金"_qs : u"次期繰越金"_qs), carryOwn, carryBudget,
                            "carry-over");
            checkTotals(findRow('A', u"支出合計"_qs), payments + carryOwn, paymentsBudget + carryBudget,
                        "payments with the carry-over");

            std::vector<std::pair<qint64, qint64>> expected, found;
            if (layout.subtotals) {
                int previous = 0;
                for (const WorkRow& w : work) {
                    if (w.division != division || !printed(w) || w.kamoku == 8000 || w.bunrui == previous)
                        continue;
                    previous = w.bunrui;
                    if (kensu[w.bunrui] < 2)
                        continue;
                    qint64 own = 0, budget = 0;
                    for (const WorkRow& x : work) {
                        if (x.division == division && x.bunrui == w.bunrui && printed(x)) {
                            own += x.kessan.value_or(0);
                            budget += x.yosan.value_or(0);
                        }
                    }
                    expected.emplace_back(own, budgetCol ? budget : 0);
                }
            }
            for (int r = starts[k]; r < starts[k + 1]; ++r) {
                if (at(r, subtotalLabelCol) == u"（小    計）"_qs) {
                    found.emplace_back(PrintedAmount(at(r, ownCol)), budgetCol ? PrintedAmount(at(r, budgetCol)) : 0);
                    if (budgetCol) {
                        EXPECT_EQ(PrintedAmount(at(r, diffCol)), found.back().first - found.back().second);
                    }
                }
            }
            EXPECT_EQ(found, expected) << "subtotal rows";
        }
        EXPECT_FALSE(anyCell(u"#VALUE!"_qs) || anyCell(u"Err:502"_qs));
    }

    void CheckAllLayouts(bool zeroPrint, bool interim) {
        SCOPED_TRACE(std::string(interim ? "interim" : "year-end") + (zeroPrint ? ", ZeroPrint on" : ", ZeroPrint off"));
        const std::vector<WorkRow> work = ReadWork();
        const std::vector<int> divisions = Divisions();
        bunruiNames_ = BunruiNames();
        const QStringList files = RunAll(zeroPrint, interim ? cyukanSimebi_ : QString());
        const std::vector<Csv> books = Compute(files);
        ASSERT_EQ(books.size(), kChecked);
        for (std::size_t i = 0; i < books.size(); ++i) {
            SCOPED_TRACE(std::string(kl::kLayouts[i].name));
            CheckBook(kl::kLayouts[i], books[i], work, zeroPrint, interim, divisions);
        }
        lastBooks_ = books;
    }

    // The sample organisation's settlement window: the budget, the journal up
    // to `last` summed per division and item, and the carry-over to the next
    // year as each division's balance.
    void LoadSettlementFromJournal(const QString& last) {
        Exec(u"delete from W_KESSAN"_qs);
        const db::Connection::Params key{{u"C"_qs, GetComputerNameStr()}, {u"J"_qs, kJikoku}, {u"N"_qs, nendo_}};
        Exec(u"insert into W_KESSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, TEKIYO, SYUSI_KUBUN, BUNRUI,"
             " BUNRUI_JUNJYO, KAMOKU_JUNJYO, YOSAN, KESSAN) select :C, :J, Y.NENDO, Y.KAIKEI_KUBUN, Y.KAMOKU, Y.JUNJYO,"
             " Y.TEKIYO, B.SYUSI_KUBUN, K.BUNRUI, B.JUNJYO, K.JUNJYO, Y.YOSAN,"
             " case when Y.KAMOKU = 100 then Y.YOSAN end from YOSAN Y inner join KAMOKU K on (K.CD = Y.KAMOKU)"
             " inner join BUNRUI B on (B.CD = K.BUNRUI) where (Y.NENDO = :N) and (B.KESSANSYO_KUBUN = 1)"_qs,
             key);
        const auto sums = module_->SQLConnection1.Select(
            u"select M.KAIKEI_KUBUN, M.KAMOKU, B.SYUSI_KUBUN, K.BUNRUI, B.JUNJYO, K.JUNJYO,"
            " cast(coalesce(sum(M.SYUNYU), 0) - coalesce(sum(M.SISYUTSU), 0) as integer) from MEISAI M"
            " inner join KAMOKU K on (K.CD = M.KAMOKU) inner join BUNRUI B on (B.CD = K.BUNRUI)"
            " where (M.NENDO = :N) and (B.KESSANSYO_KUBUN = 1) and (M.HIZUKE <= :L)"
            " group by M.KAIKEI_KUBUN, M.KAMOKU, B.SYUSI_KUBUN, K.BUNRUI, B.JUNJYO, K.JUNJYO"_qs,
            {{u"N"_qs, nendo_}, {u"L"_qs, last}}).rows;
        for (const auto& r : sums) {
            const int syusi = int(r[2].AsInteger());
            const qint64 net = r[6].AsInteger();
            db::Connection::Params p = key;
            p.push_back({u"D"_qs, r[0]});
            p.push_back({u"K"_qs, r[1]});
            p.push_back({u"R"_qs, db::Value(int(syusi == 1 ? net : -net))});
            const bool present = !module_->SQLConnection1
                                      .Select(u"select 1 from W_KESSAN where KAIKEI_KUBUN = :D and KAMOKU = :K"_qs,
                                              {{u"D"_qs, r[0]}, {u"K"_qs, r[1]}})
                                      .rows.empty();
            if (present) {
                Exec(u"update W_KESSAN set KESSAN = :R where KAIKEI_KUBUN = :D and KAMOKU = :K and CPU_NAME = :C"
                     " and JIKOKU = :J and NENDO = :N"_qs,
                     p);
            } else {
                p.push_back({u"S"_qs, r[2]});
                p.push_back({u"B"_qs, r[3]});
                p.push_back({u"BJ"_qs, r[4]});
                p.push_back({u"KJ"_qs, r[5]});
                Exec(u"insert into W_KESSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, SYUSI_KUBUN, BUNRUI,"
                     " BUNRUI_JUNJYO, KAMOKU_JUNJYO, KESSAN) values (:C, :J, :N, :D, :K, 99, :S, :B, :BJ, :KJ, :R)"_qs,
                     p);
            }
        }
        Exec(u"update W_KESSAN W set KESSAN = (select coalesce(sum(case when X.SYUSI_KUBUN = 1 then X.KESSAN else"
             " -X.KESSAN end), 0) from W_KESSAN X where X.KAIKEI_KUBUN = W.KAIKEI_KUBUN and X.KAMOKU <> 8000)"
             " where W.KAMOKU = 8000"_qs);
    }

    // Each division's final balance in the journal up to `last`: the carry-over
    // from the previous year, plus receipts, minus payments.
    std::map<int, qint64> JournalBalances(const QString& last) {
        std::map<int, qint64> balances;
        for (const auto& r : module_->SQLConnection1.Select(
                 u"select Y.KAIKEI_KUBUN, Y.YOSAN from YOSAN Y where Y.NENDO = :N and Y.KAMOKU = 100"_qs,
                 {{u"N"_qs, nendo_}}).rows)
            balances[int(r[0].AsInteger())] += r[1].AsInteger();
        for (const auto& r : module_->SQLConnection1.Select(
                 u"select M.KAIKEI_KUBUN, cast(coalesce(sum(M.SYUNYU), 0) - coalesce(sum(M.SISYUTSU), 0) as integer)"
                 " from MEISAI M inner join KAMOKU K on (K.CD = M.KAMOKU) inner join BUNRUI B on (B.CD = K.BUNRUI)"
                 " where M.NENDO = :N and M.HIZUKE <= :L and B.KESSANSYO_KUBUN = 1 group by M.KAIKEI_KUBUN"_qs,
                 {{u"N"_qs, nendo_}, {u"L"_qs, last}}).rows)
            balances[int(r[0].AsInteger())] += r[1].AsInteger();
        return balances;
    }

    void ExpectCarryOverIsJournalBalance(const QString& last) {
        const std::map<int, qint64> balances = JournalBalances(last);
        for (const WorkRow& w : ReadWork()) {
            if (w.kamoku == 8000) {
                EXPECT_EQ(w.kessan.value_or(0), balances.at(w.division)) << "division " << w.division;
            }
        }
    }

    QString period_ = u"2021年4月1日～2022年3月31日"_qs;
    QString periodInterim_ = u"2021年4月1日～2021年9月30日"_qs;
    QString cyukanSimebi_ = u"20210930"_qs;
    QString reportYear_ = u"２０２２年"_qs;
    int conversions_ = 0;
    std::map<int, QString> bunruiNames_;
    std::vector<Csv> lastBooks_;
};

TEST_F(KessansyoCalcTest, SampleOrganisationYearEndAndInterimFromTheJournal) {
    UseSampleOrganisation();
    nendo_ = 2025;
    period_ = u"2025年4月1日～2026年3月31日"_qs;
    periodInterim_ = u"2025年4月1日～2025年9月30日"_qs;
    cyukanSimebi_ = u"20250930"_qs;
    reportYear_ = u"２０２６年"_qs;
    ASSERT_EQ(Divisions().size(), 2U);
    OpenNendoRow();
    LoadSettlementFromJournal(u"20260331"_qs);
    ExpectCarryOverIsJournalBalance(u"20260331"_qs);
    CheckAllLayouts(true, false);
    LoadSettlementFromJournal(u"20250930"_qs);
    ExpectCarryOverIsJournalBalance(u"20250930"_qs);
    CheckAllLayouts(false, true);
}

// Three divisions: the general one with many items per classification (an
// item without figures, a classification of one item bearing its name), a
// special one with few, and one without any work row.
TEST_F(KessansyoCalcTest, GeneratedYearInEveryLayoutYearEndAndInterim) {
    AddYear(2021, u"20210401"_qs, u"20220331"_qs);
    AddDivision(1, u"祭礼特別会計"_qs);
    AddDivision(2, u"施設特別会計"_qs);
    const int receiptsClasses[] = {11, 12, 13};
    const int paymentsClasses[] = {21, 22, 23, 24};
    int junjyo = 1;
    for (int b : receiptsClasses)
        AddBunrui(b, u"収入分類%1"_qs.arg(b), 1, 1, junjyo++);
    for (int b : paymentsClasses)
        AddBunrui(b, u"支出分類%1"_qs.arg(b), 2, 1, junjyo++);
    AddBunrui(25, u"慶弔費"_qs, 2, 1, junjyo++);
    AddKamoku(2501, u"慶弔費"_qs, 25);
    unsigned seed = 11;
    const auto amount = [&seed](int scale) {
        seed = seed * 1103515245U + 12345U;
        return int((seed >> 8) % unsigned(scale)) * 100;
    };
    qint64 receipts = 0, payments = 0;
    for (int b : receiptsClasses) {
        for (int i = 1; i <= 7; ++i) {
            const int cd = b * 100 + i;
            AddKamoku(cd, u"収入科目%1"_qs.arg(cd), b, i);
            const int kessan = amount(5000);
            receipts += kessan;
            AddWork({0, cd, 1, b, i % 3 ? std::optional<int>(amount(5000)) : std::nullopt, kessan});
            if (i <= 2)
                AddWork({1, cd, 1, b, amount(500), amount(500)});
        }
    }
    for (int b : paymentsClasses) {
        for (int i = 1; i <= 9; ++i) {
            const int cd = b * 100 + i;
            AddKamoku(cd, u"支出科目%1"_qs.arg(cd), b, i);
            const int kessan = amount(2000);
            payments += kessan;
            AddWork({0, cd, 2, b, amount(2000), kessan}, u"摘要%1"_qs.arg(cd));
        }
    }
    AddKamoku(2199, u"ゼロ科目"_qs, 21, 99);
    AddWork({0, 2199, 2, 21, 0, 0});
    AddWork({0, 2501, 2, 25, 12000, 10000});
    payments += 10000;
    AddWork({0, 8000, 2, 80, 150000, int(receipts - payments)});
    AddWork({1, 2101, 2, 21, 800, 700});
    AddWork({1, 8000, 2, 80, 0, 0});
    OpenNendoRow();
    CheckAllLayouts(true, false);
    CheckAllLayouts(false, true);
}

// A year without a budget: the budget columns and totals print 0, the
// differences are the settlement itself.
TEST_F(KessansyoCalcTest, YearWithoutBudgetPrintsZeroBudget) {
    AddYear(2021, u"20210401"_qs, u"20220331"_qs);
    AddBunrui(11, u"会費収入"_qs, 1, 1, 1);
    AddBunrui(21, u"事業費"_qs, 2, 1, 2);
    AddKamoku(1101, u"一般会費"_qs, 11, 1);
    AddKamoku(1102, u"特別会費"_qs, 11, 2);
    AddKamoku(2101, u"祭礼費"_qs, 21, 1);
    AddKamoku(2102, u"記念行事費"_qs, 21, 2);
    AddWork({0, 1101, 1, 11, std::nullopt, 120000});
    AddWork({0, 1102, 1, 11, std::nullopt, 30000});
    AddWork({0, 2101, 2, 21, std::nullopt, 80000});
    AddWork({0, 2102, 2, 21, std::nullopt, 25000});
    AddWork({0, 8000, 2, 80, std::nullopt, 45000});
    OpenNendoRow();
    CheckAllLayouts(false, false);
}

// 順序 typed out of the classifications' ranges, as in the budget statements'
// check: every classification prints once with one total, by its smallest 順序.
TEST_F(KessansyoCalcTest, OrderTypedAcrossClassificationsKeepsEachTogether) {
    AddSplitOrderChart();
    AddWork({0, 1101, 1, 11, 10000, 9000, 5});
    AddWork({0, 1201, 1, 12, 20000, 18000, 20});
    AddWork({0, 1102, 1, 11, 30000, 31000, 50});
    AddWork({0, 1103, 1, 11, 4000, 3000, 10});
    AddWork({0, 1202, 1, 12, 5000, 4000, 60});
    AddWork({0, 2201, 2, 22, 6000, 5000, 1});
    AddWork({0, 2101, 2, 21, 7000, 6000, 30});
    AddWork({0, 2202, 2, 22, 8000, 7000, 70});
    AddWork({0, 2102, 2, 21, 9000, 8000, 40});
    AddWork({0, 2103, 2, 21, 1000, 900, 80});
    AddWork({0, 2301, 2, 23, 2000, 1800, 99});
    AddWork({0, 7000, 2, 70, 3000, 0, 0});
    AddWork({0, 8000, 2, 80, 30000, 32300, 0});
    OpenNendoRow();
    CheckAllLayouts(true, false);
    // 決算書３ (the fourth line) names each classification on its first line.
    const Csv& csv = lastBooks_[3];
    std::map<int, QString> names = BunruiNames();
    names.erase(80);
    EXPECT_EQ(ClassificationsPrinted(csv, 0, int(csv.size()), names),
              (QStringList{u"収入分類11"_qs, u"収入分類12"_qs, u"支出分類22"_qs, u"支出分類21"_qs,
                           u"支出分類23"_qs, u"予備費"_qs}));
}

}  // namespace
