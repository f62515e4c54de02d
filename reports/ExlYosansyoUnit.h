#pragma once
// 予算書: the budget statement workbooks. One block per accounting division of
// the year on the sheet "Sheet1" (the general account in the template's block at
// the top, the others below it in code order), each with its receipts and
// payments by classification and item and the carry-over to the next year;
// the header, and the comment, date and signatures of the budget window's
// NENDO row, saved or not. The figures are the budget window's work rows
// (W_YOSAN under this computer and the window's stamp), so a statement shows
// what the window shows. The template's own formulas add the totals.
//
// TExlYosansyoModule serves 予算書１-４ and is the base of the whole statement
// family: the other budget layouts (TExlYosansyoModule1, 5, 7) and the
// settlement statements replace the named virtual steps. What a layout looks
// like (columns, amounts compared, subtotal rows) is its row in
// templates/YosansyoLayouts.h, shared with the template generator.
//
// How the statement choice window runs it:
//
//   TExlYosansyoModule report;            // or the module of the chosen line
//   report.SetNendo(year);
//   report.SetJikoku(jikoku);             // the budget window's load stamp
//   report.SetNendoDS(&nendoRow);         // the window's NENDO row (unsaved texts print)
//   report.SetTemplatemei(u"予算書１"_qs);
//   report.SetZeroPrint(false);           // leave out items whose figures are all 0
//   report.Execute();
//
// Errors (spreadsheet start, template, database) come out of Execute as exceptions.

#include "reports/StatementChartSheet.h"
#include "reports/TsubakiExcelBaseModuleUnit.h"
#include "sheet/RowWriter.h"
#include "templates/YosansyoLayouts.h"

#include <QHash>
#include <QVariant>

#include <functional>
#include <map>
#include <set>
#include <tuple>
#include <vector>

class TExlYosansyoModule : public TTsubakiExcelBaseModule {
  public:
    TExlYosansyoModule();
    ~TExlYosansyoModule() override;

    void Execute() override;

    const QString& Templatemei() const { return FTemplatemei; }
    void SetTemplatemei(const QString& value) { FTemplatemei = value; }
    // The caller's NENDO row; without one the saved row of the year is read.
    data::DataSet* NendoDS() const { return FNendoDS; }
    void SetNendoDS(data::DataSet* value) { FNendoDS = value; }
    // An interim settlement's closing date (yyyymmdd, the key it is saved under);
    // empty for a budget or a year-end settlement. It ends the printed period, marks
    // the statement 中間 and goes into the saved book's name.
    const QString& CyukanSimebi() const { return FCyukanSimebi; }
    void SetCyukanSimebi(const QString& value) { FCyukanSimebi = value; }
    bool ZeroPrint() const { return FZeroPrint; }
    virtual void SetZeroPrint(bool value) { FZeroPrint = value; }
    const QString& KaikeiKikanText() const { return KaikeiKikan; }
    // Adds the 「グラフ」 sheet (StatementChartSheet.h) after the statement.
    bool Charts() const { return FCharts; }
    void SetCharts(bool value) { FCharts = value; }

  protected:
    void StartExcel() override;
    // Column names and layout constants from the template's row of the layout
    // table; EAppError for a template this module does not serve.
    virtual void SetupLayout();
    // The kind of layout this module writes.
    virtual templates::yosansyo::Family LayoutFamily() const { return templates::yosansyo::Family::Bunrui; }
    // Takes the columns and layout constants from `layout` (the block of the
    // budget statements); EAppError naming `what` for a layout that is not
    // this module's kind. This module also serves the amendment statements
    // (Family::Hosei), the lines the statement lists add after their first ones.
    void ApplyLayout(const templates::yosansyo::Layout* layout, const QString& what);
    virtual void CopyDivisionBlock();
    virtual void WriteHeader();
    virtual void WriteFooter();
    virtual QString DiffFormula(int row) const;
    // 増減 on `row` the way the organisation prints that side: DiffFormula, or its
    // reverse for a side whose sign it turned (SYUNYU_ZOGEN_KUBUN,
    // SISYUTSU_ZOGEN_KUBUN of the statement texts = 1).
    QString ZogenFormula(int row, bool payments) const;
    // The statement texts' column of the organisation's own title.
    virtual QString TitleField() const { return QStringLiteral("YOSAN_TITLE"); }
    // One section (the receipts or the payments view) of the division's block.
    virtual void WriteSection(data::DataSet& view, int off);
    // The carry-over line on row `row`; false when there is nothing to print
    // (the row and SisyutsuSyuryogyo are then hidden).
    virtual bool WriteCarryOver(int row);

    // The statements on the work rows up to their last condition, and that
    // condition (the figures that make an item printed).
    virtual QString MainSelect() const;
    virtual QString TotalsSelect() const;
    virtual QString FigureCondition() const;

    // The chart sheet: what it draws, the budget the charts compare (per
    // classification of the division's payments and receipts, "BUNRUI" and
    // "YOSAN" columns), and what each division adds beside its statement figures.
    virtual statementcharts::Kind ChartKind() const { return statementcharts::Kind::Budget; }
    virtual QString ChartBudgetSelect() const;
    virtual void AddChartExtras(statementcharts::Division&) {}

    void WriteBook() override;
    void WriteSheet() override;
    void FillReportParams(data::SqlCommand& command) override;
    // Hides the template rows a short section leaves over (one row always
    // stays), then makes the area hold n records.
    sheet::RowWriter& ExtendDetailRows(int n) override;

    // A detail cell, queued until every block's rows are in place: the row
    // writer streams a section's rows only once nothing more is inserted above
    // them, and a formula's row number is known only then.
    struct DetailCell {
        enum class Kind { Empty, Text, Integer, Diff, Subtotal };
        Kind kind = Kind::Empty;
        QString text;
        qint64 value = 0;
        QChar column;   // Subtotal: the column summed
        int first = 0;  // Subtotal: the group's lines, 0-based within the section
        int last = 0;
        int style = -1;  // a format of its own (cellXfs index), or the template row's
        // The chart sheet's figure this cell adds to: classification `bunrui`'s
        // sum of the work-row column `field` (none when empty).
        int bunrui = 0;
        QString field;
    };
    // One line of a section: columns KaisiRetsu..Syuryoretsu.
    using DetailLine = std::vector<DetailCell>;
    static DetailCell TextCell(const QString& text);
    static DetailCell AmountCell(const QVariant& amount);
    static DetailCell DiffCell();
    static DetailCell SubtotalCell(QChar column, int first, int last);
    // `cell` as a part of the chart figure of the view's classification and `field`.
    static DetailCell Tallied(DetailCell cell, const data::DataSet& view, const QString& field);
    DetailLine EmptyLine() const { return DetailLine(std::size_t(Syuryoretsu - KaisiRetsu + 1)); }
    // Makes the current section's area (KaisiGyo) hold the lines and queues them.
    void QueueSection(std::vector<DetailLine> lines);
    // A section of one line per item, its classification named on the first
    // one (a classification of one item bearing its name across A and B), the
    // cells from column C given by `itemAmounts`; with `subtotals` a subtotal row
    // (its cells from C by `subtotalAmounts` of the group's lines) below every
    // classification of two items or more.
    using ItemCells = std::function<std::vector<DetailCell>(const data::DataSet&)>;
    using SubtotalCells = std::function<std::vector<DetailCell>(int first, int last)>;
    void WriteGroupedSection(data::DataSet& view, int off, bool subtotals, const ItemCells& itemAmounts,
                             const SubtotalCells& subtotalAmounts);

    // --- Helpers for the descendants.
    // Rows between the template block and the current division's block.
    int BlockOffset() const { return BlockIndex * TokubetsuKaikeiOffset; }
    QString Kamokumei(const data::DataSet& view) const;
    QString Bunruimei(int bunrui) const;
    // The classification's printed item count (0 when it has none).
    int Kensu(int bunrui) const;
    // The classification's total of a work-row column (empty when NULL).
    QVariant BunruiTotal(int bunrui, const QString& field) const;
    static QVariant Amount(const data::DataSet& view, const QString& field);
    static QVariant Text(const QString& text);
    // The value of a column of the NENDO row in use.
    QString NendoText(const QString& field) const;
    int NendoInt(const QString& field) const;
    void HideRow(int row);
    void WriteRow(int row, const QVariantList& cells);

    const templates::yosansyo::Layout* Layout = nullptr;

    data::SqlCommand KamokuSQL;
    data::DataSet KamokuClientDS;
    data::SqlCommand BunruiSQL;
    data::DataSet BunruiClientDS;
    data::DataSet SyunyuClone;
    data::DataSet SisyutsuClone;
    data::DataSet JikiKurikosiClone;
    data::SqlCommand KaikeiKubunSQL;
    data::DataSet KaikeiKubunClientDS;
    data::SqlCommand SQLDataSet2;
    data::DataSet ClientDataSet2;
    data::SqlCommand SQLDataSet1A;
    data::SqlCommand SQLDataSet2A;

    bool FZeroPrint = true;
    QString ZennenField;
    QString TaisyoField;
    QString HikakuField;
    QString KingakuField1;
    QString KingakuField2;
    QString HikakuRetsu;
    int KaikeiKubunKensu = 0;
    int TokubetsuKaikeiOffset = 0;
    int SyunyuTitlegyo = 0;
    int SisyutsuSyuryogyo = 0;
    int JikiKurikosigyo = 0;
    int SyunyuKaisigyo = 0;
    int SisyutsuKaisigyo = 0;
    int CopySyuryogyo = 0;
    int BlockIndex = 0;  // the current division's block, 0 = the template block at the top
    QString FTemplatemei;
    data::DataSet* FNendoDS = nullptr;
    QString FCyukanSimebi;
    QString KaikeiKikan;
    bool FCharts = false;

  private:
    struct BunruiTotals {
        int kensu = 0;
        QHash<QString, QVariant> sums;
    };
    data::DataSet& NendoRow() const;
    void PrepareQueries();
    void LoadNames();
    void LoadTotals();
    void WriteQueuedSections();
    // The current division's chart figures, from the section views.
    void CollectChartFigures();
    void AddChartSheet();
    // The amendment statements' lines: the original budget, the amendments, the
    // amended budget and, in a settlement, its figure and 増減.
    std::vector<DetailCell> HoseiItemAmounts(const data::DataSet& view) const;
    std::vector<DetailCell> HoseiSubtotalAmounts(int first, int last) const;
    bool WriteHoseiCarryOver(int row);
    // The template's 増減 of the total rows of a side printed the other way round.
    void WriteTotalZogen(int off);

    QHash<int, QString> kamokuNames_;
    QHash<int, QString> bunruiNames_;
    QHash<int, BunruiTotals> totals_;
    struct QueuedSection {
        sheet::RowWriter* rows;
        std::vector<DetailLine> lines;
        int division;
        bool payments;
    };
    std::vector<QueuedSection> queued_;
    // (division, classification, field) -> the statement cells that add up to it.
    std::map<std::tuple<int, int, QString>, std::vector<sheet::CellPos>> chartCells_;
    // The chart figures per division in code order, cells filled once written.
    std::vector<std::pair<int, statementcharts::Division>> chartDivisions_;
    // (division, classification) whose charted budget is not the one the statement prints.
    std::set<std::pair<int, int>> budgetNotPrinted_;
    bool syunyuReversed_ = false;
    bool sisyutsuReversed_ = false;
};
