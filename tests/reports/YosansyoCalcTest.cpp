// The fifteen budget statements computed by a real spreadsheet program: every
// layout is run on the budget window's work rows, LibreOffice computes the
// templates' formulas, and the totals, subtotals, differences, reserve fund and
// carry-over are checked against sums the test makes itself from the same rows.
// Runs only where soffice is installed.

#include "core/ComputerName.h"
#include "data/DataSet.h"
#include "reports/YosansyoModules.h"
#include "templates/YosansyoLayouts.h"
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

namespace yl = templates::yosansyo;
// The layouts checked here; those of the amended budget follow them in the
// table and are checked by HoseiCalcTest.
constexpr std::size_t kChecked =
    std::size_t(std::count_if(yl::kLayouts.begin(), yl::kLayouts.end(),
                              [](const auto& l) { return l.family != templates::yosansyo::Family::Hosei; }));

const QString kComment = u"未保存のコメント：上記のとおり提案します。"_qs;

struct WorkRow {
    int division;
    int kamoku;
    int syusi;
    int bunrui;
    std::optional<int> yosan;
    std::optional<int> kessan;  // ZENNEN_KESSAN
    std::optional<int> zennenYosan;
    int junjyo = 99;
};

using Csv = std::vector<QStringList>;

class YosansyoCalcTest : public StatementCalcFixture {
  protected:
    void AddWork(const WorkRow& w, const QString& tekiyo = QString()) {
        const auto v = [](std::optional<int> x) { return x ? db::Value(*x) : db::Value(); };
        Exec(u"insert into W_YOSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN, ZENNEN_YOSAN,"
             " ZENNEN_KESSAN, TEKIYO, SYUSI_KUBUN, BUNRUI, BUNRUI_JUNJYO, KAMOKU_JUNJYO) values (:C, :J, :N, :D, :K,"
             " :JU, :Y, :ZY, :ZK, :T, :S, :B, :BJ, :KJ)"_qs,
             {{u"C"_qs, GetComputerNameStr()},
              {u"J"_qs, kJikoku},
              {u"N"_qs, nendo_},
              {u"D"_qs, w.division},
              {u"K"_qs, w.kamoku},
              {u"JU"_qs, w.junjyo},
              {u"Y"_qs, v(w.yosan)},
              {u"ZY"_qs, v(w.zennenYosan)},
              {u"ZK"_qs, v(w.kessan)},
              {u"T"_qs, tekiyo.isNull() ? db::Value() : db::Value(tekiyo)},
              {u"S"_qs, w.syusi},
              {u"B"_qs, w.bunrui},
              {u"BJ"_qs, w.bunrui},
              {u"KJ"_qs, w.kamoku}});
    }

    // The work rows as the test knows them, read back plainly in the order they print.
    std::vector<WorkRow> ReadWork() {
        std::vector<WorkRow> rows;
        const auto opt = [](const db::Value& x) { return x.IsNull() ? std::optional<int>() : int(x.AsInteger()); };
        const QString sql =
            u"select KAIKEI_KUBUN, KAMOKU, SYUSI_KUBUN, BUNRUI, YOSAN, ZENNEN_KESSAN, ZENNEN_YOSAN"
            " from W_YOSAN W where JIKOKU = :J"_qs +
            PrintedOrder(u"W_YOSAN"_qs);
        for (const auto& r : module_->SQLConnection1.Select(sql, {{u"J"_qs, kJikoku}}).rows) {
            rows.push_back({int(r[0].AsInteger()), int(r[1].AsInteger()), int(r[2].AsInteger()),
                            int(r[3].AsInteger()), opt(r[4]), opt(r[5]), opt(r[6])});
        }
        return rows;
    }

    // The year's NENDO row as the budget window holds it: its comment edited and posted, not saved.
    void OpenNendoRow() {
        EditNendoRow();
        nendoRow_.FieldByName(u"YOSAN_COMMENT_KUBUN"_qs).SetValue(db::Value(1));
        nendoRow_.FieldByName(u"YOSAN_COMMENT"_qs).SetValue(db::Value(kComment));
        nendoRow_.Post();
    }

    // Runs every layout; the saved books in the order of the layout table.
    QStringList RunAll(bool zeroPrint) {
        QStringList files;
        for (std::size_t i = 0; i < kChecked; ++i) {
            auto report = NewYosansyoModule(yosansyo::ModuleForLine(int(i) + 1));
            report->SetNendo(nendo_);
            report->SetJikoku(kJikoku);
            report->SetNendoDS(&nendoRow_);
            report->SetTemplatemei(QString::fromUtf8(yl::kLayouts[i].name.data(), qsizetype(yl::kLayouts[i].name.size())));
            report->SetZeroPrint(zeroPrint);
            report->Execute();
            EXPECT_EQ(report->SavedFiles().size(), 1);
            files << report->SavedFiles().value(0);
        }
        return files;
    }

    // One LibreOffice run converts every book to CSV (the computed values as shown).
    std::vector<Csv> Compute(const QStringList& files) {
        return ComputeBooksWithLibreOffice(soffice_, files, temp_.Path());
    }

    // Checks one computed book against the work rows.
    void CheckBook(const yl::Layout& layout, const Csv& csv, const std::vector<WorkRow>& work, bool zeroPrint,
                   const std::vector<int>& divisions, const std::map<int, QString>& names) {
        const bool kamoku = layout.family == yl::Family::Kamoku;
        const bool compares = !layout.hikakuField.empty();
        // Columns: the budget, the comparison, the difference, the item's own amount.
        const bool budgetFirst = layout.kingakuField1 == "YOSAN";
        char budgetCol = 'B', compCol = 0, diffCol = 0, itemCol = 'B', labelCol = 'A', subtotalLabelCol = 'B';
        if (kamoku) {
            budgetCol = itemCol = 'C';
        } else if (layout.family == yl::Family::Bunrui) {
            budgetCol = budgetFirst ? 'B' : 'C';
            compCol = budgetFirst ? 'C' : 'B';
            diffCol = 'D';
            itemCol = 'H';
        } else if (layout.family == yl::Family::Hikaku) {
            budgetCol = itemCol = budgetFirst ? 'C' : 'D';
            compCol = budgetFirst ? 'D' : 'C';
            diffCol = 'E';
        }
        const auto comparison = [&](const WorkRow& w) {
            return layout.zennenField == "KESSAN" ? w.kessan : w.zennenYosan;
        };
        const auto printed = [&](const WorkRow& w) {
            const auto present = [zeroPrint](std::optional<int> x) { return x && (zeroPrint || *x != 0); };
            return present(w.yosan) || (compares && present(comparison(w)));
        };
        const auto at = [&](int row, char col) { return csv[std::size_t(row)].value(Col(col)); };

        // The blocks, one per division, each starting at its receipts headings.
        std::vector<int> starts;
        for (int r = 0; r < int(csv.size()); ++r) {
            if (at(r, 'A') == u"収入の部"_qs)
                starts.push_back(r);
        }
        ASSERT_EQ(starts.size(), divisions.size());
        starts.push_back(int(csv.size()));
        EXPECT_TRUE(std::any_of(csv.begin(), csv.end(), [](const QStringList& row) { return row.value(0) == kComment; }))
            << "the unsaved comment is printed";

        for (std::size_t k = 0; k < divisions.size(); ++k) {
            const int division = divisions[k];
            SCOPED_TRACE("division " + std::to_string(division));
            EXPECT_EQ(at(starts[k] - 1, 'A'), divisions.size() > 1 ? names.at(division) : QString());
            const auto findRow = [&](char col, const QString& label) {
                for (int r = starts[k]; r < starts[k + 1]; ++r) {
                    if (at(r, col) == label)
                        return r;
                }
                ADD_FAILURE() << "no row " << label.toStdString();
                return starts[k];
            };
            qint64 receipts = 0, receiptsComp = 0, payments = 0, paymentsComp = 0;
            std::optional<WorkRow> carry;
            std::optional<int> reserve;
            std::map<int, int> kensu;
            for (const WorkRow& w : work) {
                if (w.division != division || !printed(w))
                    continue;
                ++kensu[w.bunrui];
                if (w.kamoku == 8000) {
                    carry = w;
                } else if (w.syusi == 1) {
                    receipts += w.yosan.value_or(0);
                    receiptsComp += comparison(w).value_or(0);
                } else {
                    payments += w.yosan.value_or(0);
                    paymentsComp += comparison(w).value_or(0);
                    if (w.kamoku == 7000)
                        reserve = w.yosan.value_or(0);
                }
            }
            const auto checkTotals = [&](int row, qint64 budget, qint64 comp, const char* what) {
                SCOPED_TRACE(what);
                EXPECT_EQ(PrintedAmount(at(row, budgetCol)), budget);
                if (itemCol != budgetCol) {
                    EXPECT_EQ(PrintedAmount(at(row, itemCol)), budget);
                }
                if (compCol) {
                    EXPECT_EQ(PrintedAmount(at(row, compCol)), comp);
                    EXPECT_EQ(PrintedAmount(at(row, diffCol)), budget - comp);
                }
            };
            // Each classification once, with one total.
            if (layout.family != yl::Family::Kani) {
                std::map<int, QString> classes;
                for (const auto& [cd, count] : kensu) {
                    if (cd != 80)
                        classes[cd] = bunruiNames_.at(cd);
                }
                const QStringList shown = ClassificationsPrinted(csv, starts[k], starts[k + 1], classes);
                EXPECT_EQ(shown.size(), qsizetype(classes.size())) << shown.join(u',').toStdString();
            }
            checkTotals(findRow(labelCol, u"収入合計"_qs), receipts, receiptsComp, "receipts");
            checkTotals(findRow(labelCol, u"支出計"_qs), payments, paymentsComp, "payments");
            qint64 carryBudget = 0, carryComp = 0;
            if (carry) {
                carryBudget = carry->yosan.value_or(0);
                carryComp = compares ? comparison(*carry).value_or(0) : 0;
            }
            if (carryBudget != 0 || carryComp != 0)
                checkTotals(findRow(labelCol, u"次期繰越金"_qs), carryBudget, carryComp, "carry-over");
            checkTotals(findRow(labelCol, u"支出合計"_qs), payments + carryBudget, paymentsComp + carryComp,
                        "payments with the carry-over");
            if (reserve) {
                const int row = layout.family == yl::Family::Bunrui ? [&] {
                    for (int r = starts[k]; r < starts[k + 1]; ++r) {
                        if (at(r, 'E').startsWith(u"予備費"_qs))
                            return r;
                    }
                    return starts[k];
                }()
                                                                     : findRow('A', u"予備費"_qs);
                EXPECT_EQ(PrintedAmount(at(row, itemCol)), *reserve) << "reserve fund";
            }

            // Subtotal rows: one per classification with two printed items or more, in order.
            std::vector<std::pair<qint64, qint64>> expected, found;
            if (layout.subtotals) {
                int previous = 0;
                for (const WorkRow& w : work) {
                    if (w.division != division || !printed(w) || w.kamoku == 8000 || w.bunrui == previous)
                        continue;
                    previous = w.bunrui;
                    if (kensu[w.bunrui] < 2)
                        continue;
                    qint64 b = 0, c = 0;
                    for (const WorkRow& x : work) {
                        if (x.division == division && x.bunrui == w.bunrui && printed(x)) {
                            b += x.yosan.value_or(0);
                            c += comparison(x).value_or(0);
                        }
                    }
                    expected.emplace_back(b, compCol ? c : 0);
                }
            }
            for (int r = starts[k]; r < starts[k + 1]; ++r) {
                if (at(r, subtotalLabelCol) == u"（小    計）"_qs) {
                    found.emplace_back(PrintedAmount(at(r, budgetCol)), compCol ? PrintedAmount(at(r, compCol)) : 0);
                    if (compCol) {
                        EXPECT_EQ(PrintedAmount(at(r, diffCol)), found.back().first - found.back().second);
                    }
                }
            }
            EXPECT_EQ(found, expected) << "subtotal rows";
        }
    }

    void CheckAllLayouts(bool zeroPrint) {
        SCOPED_TRACE(zeroPrint ? "ZeroPrint on" : "ZeroPrint off");
        const std::vector<WorkRow> work = ReadWork();
        const std::vector<int> divisions = Divisions();
        std::map<int, QString> names;
        for (const auto& r : module_->SQLConnection1.Select(u"select CD, MEISYO from KAIKEI_KUBUN"_qs).rows)
            names[int(r[0].AsInteger())] = r[1].AsString();
        bunruiNames_ = BunruiNames();
        const QStringList files = RunAll(zeroPrint);
        const std::vector<Csv> books = Compute(files);
        ASSERT_EQ(books.size(), kChecked);
        for (std::size_t i = 0; i < books.size(); ++i) {
            SCOPED_TRACE(std::string(yl::kLayouts[i].name));
            CheckBook(yl::kLayouts[i], books[i], work, zeroPrint, divisions, names);
        }
        lastBooks_ = books;
    }

    bool Prints(const QString& text) const {
        return std::all_of(lastBooks_.begin(), lastBooks_.end(), [&](const Csv& csv) {
            return std::any_of(csv.begin(), csv.end(), [&](const QStringList& row) {
                return std::any_of(row.begin(), row.end(), [&](const QString& cell) { return cell.contains(text); });
            });
        });
    }

    std::vector<Csv> lastBooks_;
    std::map<int, QString> bunruiNames_;
};

TEST_F(YosansyoCalcTest, SampleOrganisationInEveryLayout) {
    UseSampleOrganisation();
    nendo_ = 2025;
    // The budget window's load: the year's budget with its items' classifications.
    Exec(u"insert into W_YOSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN, ZENNEN_YOSAN,"
         " ZENNEN_KESSAN, TEKIYO, SYUSI_KUBUN, BUNRUI, BUNRUI_JUNJYO, KAMOKU_JUNJYO)"
         " select :C, :J, Y.NENDO, Y.KAIKEI_KUBUN, Y.KAMOKU, Y.JUNJYO, Y.YOSAN, Y.ZENNEN_YOSAN, Y.ZENNEN_KESSAN,"
         " Y.TEKIYO, B.SYUSI_KUBUN, K.BUNRUI, B.JUNJYO, K.JUNJYO from YOSAN Y"
         " inner join KAMOKU K on (K.CD = Y.KAMOKU) inner join BUNRUI B on (B.CD = K.BUNRUI)"
         " where (Y.NENDO = 2025) and (B.KESSANSYO_KUBUN = 1)"_qs,
         {{u"C"_qs, GetComputerNameStr()}, {u"J"_qs, kJikoku}});
    ASSERT_EQ(Divisions().size(), 2U);
    OpenNendoRow();
    CheckAllLayouts(true);
    CheckAllLayouts(false);
}

// Three divisions: the general one with many items per classification (a reserve
// fund, an item without any figure, classifications of one item), a special one
// with few, and one without any work row.
TEST_F(YosansyoCalcTest, GeneratedBudgetInEveryLayout) {
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
    unsigned seed = 7;
    const auto amount = [&seed](int scale) {
        seed = seed * 1103515245U + 12345U;
        return int((seed >> 8) % unsigned(scale)) * 100;
    };
    int items = 0;
    for (int b : receiptsClasses) {
        for (int i = 1; i <= 8; ++i) {
            const int cd = b * 100 + i;
            AddKamoku(cd, u"収入科目%1"_qs.arg(cd), b, i);
            AddWork({0, cd, 1, b, amount(5000), amount(5000), i % 3 ? std::optional<int>(amount(5000)) : std::nullopt});
            if (i <= 2)
                AddWork({1, cd, 1, b, amount(500), amount(500), amount(500)});
            ++items;
        }
    }
    for (int b : paymentsClasses) {
        for (int i = 1; i <= 10; ++i) {
            const int cd = b * 100 + i;
            AddKamoku(cd, u"支出科目%1"_qs.arg(cd), b, i);
            AddWork({0, cd, 2, b, amount(3000), i % 4 ? std::optional<int>(amount(3000)) : std::nullopt, amount(3000)},
                    u"摘要%1"_qs.arg(cd));
        }
    }
    // An item without figures, printed only with ZeroPrint.
    AddKamoku(2199, u"ゼロ科目"_qs, 21, 99);
    AddWork({0, 2199, 2, 21, 0, 0, 0});
    AddWork({0, 2501, 2, 25, 12000, 10000, 11000});
    AddWork({0, 7000, 2, 70, 45600, std::nullopt, 30000});
    AddWork({0, 8000, 2, 80, 150000, 140000, 120000});
    AddWork({1, 2101, 2, 21, 800, 700, 600});
    AddWork({1, 8000, 2, 80, 0, 0, 0});
    OpenNendoRow();
    CheckAllLayouts(true);
    EXPECT_TRUE(Prints(u"ゼロ科目"_qs));
    CheckAllLayouts(false);
    EXPECT_FALSE(Prints(u"ゼロ科目"_qs));
}

// 順序 typed out of the classifications' ranges: 収入分類11 and 支出分類21 each have
// a line before and a line after a line of another classification; 支出分類23 holds
// one line; the reserve fund is typed first. Every classification still prints once
// with one total, the classifications by their smallest 順序, the reserve fund last.
TEST_F(YosansyoCalcTest, OrderTypedAcrossClassificationsKeepsEachTogether) {
    AddSplitOrderChart();
    AddWork({0, 1101, 1, 11, 10000, 9000, 9500, 5});
    AddWork({0, 1201, 1, 12, 20000, 18000, 19000, 20});
    AddWork({0, 1102, 1, 11, 30000, 31000, 30000, 50});
    AddWork({0, 1103, 1, 11, 4000, 3000, 3500, 10});
    AddWork({0, 1202, 1, 12, 5000, 4000, 4500, 60});
    AddWork({0, 2201, 2, 22, 6000, 5000, 5500, 1});
    AddWork({0, 2101, 2, 21, 7000, 6000, 6500, 30});
    AddWork({0, 2202, 2, 22, 8000, 7000, 7500, 70});
    AddWork({0, 2102, 2, 21, 9000, 8000, 8500, 40});
    AddWork({0, 2103, 2, 21, 1000, 900, 950, 80});
    AddWork({0, 2301, 2, 23, 2000, 1800, 1900, 99});
    AddWork({0, 7000, 2, 70, 3000, std::nullopt, 2000, 0});
    AddWork({0, 8000, 2, 80, 33000, 30000, 31000, 0});
    OpenNendoRow();
    CheckAllLayouts(true);
    // 予算書５ (the sixth line) names each classification on its first line.
    const Csv& csv = lastBooks_[5];
    std::map<int, QString> names = BunruiNames();
    names.erase(80);
    EXPECT_EQ(ClassificationsPrinted(csv, 0, int(csv.size()), names),
              (QStringList{u"収入分類11"_qs, u"収入分類12"_qs, u"支出分類22"_qs, u"支出分類21"_qs,
                           u"支出分類23"_qs, u"予備費"_qs}));
}

}  // namespace
