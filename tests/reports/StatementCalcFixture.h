#pragma once
// What the budget and the settlement statements' LibreOffice checks share: the
// skip where soffice is missing, the sample organisation in place of the empty
// database, the year's divisions, the year's statement-texts row open for
// editing as the windows hold it, and the printed amounts read back as numbers.

#include "data/DataSet.h"
#include "tests/reports/ReportFixture.h"

#include <QString>
#include <QStringList>

#include <map>
#include <set>
#include <vector>

// A printed amount as a number: "1,234" and "△1,234" (a decrease); empty is 0.
qint64 PrintedAmount(QString text);

// The index of column `letter` ('A' is 0) in a row of computed cells.
constexpr int Col(char letter) {
    return letter - 'A';
}

// " order by …" of the work rows of `table` (aliased W) in the order a statement
// prints them, written plainly: per division and section, each classification
// together, by the smallest 順序 of its lines (the reserve fund and the
// carry-over counting as after every other), then by the classification's own
// order; the lines within by 順序.
QString PrintedOrder(const QString& table);

// The classification names in column A of csv rows [first, last), in order.
QStringList ClassificationsPrinted(const std::vector<QStringList>& csv, int first, int last,
                                   const std::map<int, QString>& names);

class StatementCalcFixture : public ReportFixture {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The built sample organisation in place of the scratch database (before the
    // connection opens again).
    void UseSampleOrganisation();
    // The division codes in use in year nendo_.
    std::vector<int> Divisions();
    // nendoRow_ opened on year nendo_'s NENDO row and put in edit.
    void EditNendoRow();
    // Every classification's name by code.
    std::map<int, QString> BunruiNames();
    // Year 2021 with receipt classifications 11, 12 and payment classifications
    // 21, 22, 23, each item cd (cd / 100 its classification): the chart the tests
    // of 順序 typed across classifications fill.
    void AddSplitOrderChart();

    QString soffice_;
    int nendo_ = 2021;
    data::DataSet nendoRow_{QStringLiteral("NendoDS")};
};
