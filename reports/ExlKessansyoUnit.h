#pragma once
// 決算書: the settlement statement workbooks, and 中間決算書, the same document
// up to a closing date. Each settlement module is a budget statement module
// (ExlYosansyoUnit*.h) that reads the settlement window's work rows (W_KESSAN)
// instead of the budget window's and prints the settlement as its figure, with
// a longer block and a footer of signatures and the auditors' confirmation.
// The layouts are the rows of templates/KessansyoLayouts.h.
//
//   TExlKessansyoModule    決算書１, ２  (from TExlYosansyoModule)
//   TExlKessansyoModule1   簡易決算書    (from TExlYosansyoModule1)
//   TExlKessansyoModule3   決算書３, ４  (from TExlYosansyoModule5)
//   TExlKessansyoModule5   決算書５-８   (from TExlYosansyoModule7)
//
// Run like a budget statement (ExlYosansyoUnit.h), with the settlement or
// interim window's stamp and statement-texts row, and SetCyukanSimebi(the
// interim closing date, yyyymmdd) for an interim statement.

#include "reports/ExlTsukibetsuSyukeiUnit.h"
#include "reports/ExlYosansyoUnit.h"
#include "reports/ExlYosansyoUnit1.h"
#include "reports/ExlYosansyoUnit5.h"
#include "reports/ExlYosansyoUnit7.h"
#include "reports/KessansyoRules.h"
#include "statements/ZandakaRules.h"
#include "templates/KessansyoLayouts.h"

#include <functional>
#include <memory>
#include <optional>

namespace kessansyo {

// What every settlement module replaces in its budget parent.
class Statement {
  protected:
    virtual ~Statement() = default;
    // The statements on W_KESSAN up to their last condition.
    static QString KessanMainSelect();
    static QString KessanTotalsSelect();
    static QString KessanChartBudgetSelect();
    // The division's balance at each month's end, up to the month of an interim
    // statement's closing date (`cyukanSimebi`, empty for the year-end).
    void AddMonthEnd(statementcharts::Division& division, int nendo, int kaikeiKubun,
                     const QString& cyukanSimebi);
    // The report year and "中間" of an interim statement in row 1.
    static void WriteHeaderCells(sheet::Worksheet& sheet, const templates::yosansyo::Layout& layout,
                                 const QString& reportYear, bool interim);
    // The footer: comment, signers, auditors and remarks from the statement-texts
    // row (`text` gives a column's value), repeating rows for several signers.
    static void WriteFooterCells(sheet::Worksheet& sheet, const templates::yosansyo::Layout& layout,
                                 const std::function<QString(const QString&)>& text, int kaikeiSyomeigyo,
                                 int kansaSyomeigyo);

  private:
    std::optional<MonthEndBalances> monthEnd_;  // read once per statement
};

// The optional 残高内訳 block under each division's carry-over (ZandakaBlock.h).
class BalancesOption {
  public:
    virtual ~BalancesOption() = default;
    bool Balances() const { return FBalances; }
    void SetBalances(bool print) { FBalances = print; }
    // The places as a window holds them; without them the closing's saved places print.
    void SetPlaces(std::optional<statements::PlacesByDivision> places) { FPlaces = std::move(places); }

  protected:
    // Inserts the block of `division` below its 収支差額 (block offset `off`) when
    // it has places with amounts.
    void WriteBalances(sheet::Application& exl, sheet::Worksheet& sheet,
                       const templates::yosansyo::Layout& layout, int off,
                       const statements::ClosingKey& closing, int division, qint64 carryOver,
                       const QString& carryOverLabel);

  private:
    bool FBalances = false;
    std::optional<statements::PlacesByDivision> FPlaces;
};

// The settlement variant of the budget statement module `Base`.
template <class Base>
class Settlement : public Base, protected Statement, public BalancesOption {
  protected:
    void SetupLayout() override {
        this->ApplyLayout(templates::kessansyo::FindLayout(this->Templatemei().toStdString()),
                          QStringLiteral("決算書"));
        this->TaisyoField = QStringLiteral("KESSAN");
        this->ZennenField.clear();
        this->CopySyuryogyo = templates::kessansyo::kCopySyuryogyo;
        this->TokubetsuKaikeiOffset = this->CopySyuryogyo - this->SyunyuTitlegyo + 1;
        KaikeiSyomeigyo = templates::kessansyo::kKaikeiSyomeigyo;
        KansaSyomeigyo = templates::kessansyo::kKansaSyomeigyo;
    }
    QString MainSelect() const override { return KessanMainSelect(); }
    QString TitleField() const override { return QStringLiteral("KESSAN_TITLE"); }
    QString TotalsSelect() const override { return KessanTotalsSelect(); }
    statementcharts::Kind ChartKind() const override { return statementcharts::Kind::Settlement; }
    QString ChartBudgetSelect() const override { return KessanChartBudgetSelect(); }
    void AddChartExtras(statementcharts::Division& division) override {
        AddMonthEnd(division, this->FNendo, this->KaikeiKubun, this->CyukanSimebi());
    }
    void WriteHeader() override {
        WriteHeaderCells(*this->Sheet, *this->Layout,
                         ReportYearText(this->NendoText(QStringLiteral("KIMATSUBI")).toInt(),
                                        this->NendoInt(QStringLiteral("NENGO_KUBUN"))),
                         !this->CyukanSimebi().isEmpty());
        Base::WriteHeader();  // A1-C1, then WriteFooter
    }
    void WriteFooter() override {
        WriteFooterCells(
            *this->Sheet, *this->Layout, [this](const QString& field) { return this->NendoText(field); },
            KaikeiSyomeigyo, KansaSyomeigyo);
    }

    void WriteSheet() override {
        if (Balances()) {
            // Named as the statement names its carry-over line.
            const bool interim = !this->CyukanSimebi().isEmpty();
            qint64 carryOver = 0;
            QString label;
            if (!this->JikiKurikosiClone.IsEmpty()) {
                this->JikiKurikosiClone.First();
                carryOver = this->Amount(this->JikiKurikosiClone, QStringLiteral("KESSAN")).toLongLong();
                if (!interim)
                    label = this->Kamokumei(this->JikiKurikosiClone);
            }
            if (label.isEmpty())
                label = interim ? QStringLiteral("次月繰越金") : QStringLiteral("次期繰越金");
            WriteBalances(*this->Exl, *this->Sheet, *this->Layout, this->BlockOffset(),
                          {this->Nendo(), this->CyukanSimebi()}, this->KaikeiKubun, carryOver, label);
        }
        Base::WriteSheet();
    }

    int KaikeiSyomeigyo = 0;  // first row of the signers
    int KansaSyomeigyo = 0;   // first row of the auditors
};

}  // namespace kessansyo

class TExlKessansyoModule : public kessansyo::Settlement<TExlYosansyoModule> {
  public:
    TExlKessansyoModule() { SetTemplatemei(QStringLiteral("決算書１")); }
};

class TExlKessansyoModule1 : public kessansyo::Settlement<TExlYosansyoModule1> {
  public:
    TExlKessansyoModule1() { SetTemplatemei(QStringLiteral("簡易決算書")); }
};

class TExlKessansyoModule3 : public kessansyo::Settlement<TExlYosansyoModule5> {
  public:
    TExlKessansyoModule3() { SetTemplatemei(QStringLiteral("決算書３")); }

  protected:
    bool HasSubtotalRows() const override { return Layout && Layout->subtotals; }
    bool OmitsSubtotalRows() const override { return Layout && !Layout->subtotals; }
};

class TExlKessansyoModule5 : public kessansyo::Settlement<TExlYosansyoModule7> {
  public:
    TExlKessansyoModule5() { SetTemplatemei(QStringLiteral("決算書５")); }
};

// The settlement module that serves a line of KessansyoList.txt.
std::unique_ptr<TExlYosansyoModule> NewKessansyoModule(int line);
