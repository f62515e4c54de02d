#pragma once
// The rules of the budget statements that need no workbook and no database:
// the header's year and period texts, the difference formula, which template
// detail rows a short section hides, the conditions that leave items without
// figures out, the placement of classification subtotal rows, and which module
// serves which line of the statement list.

#include <QString>

#include <functional>
#include <vector>

namespace yosansyo {

// "2021年" or, with the era (nengoKubun not 0), "令和３年" (era year in full-width digits).
QString HeaderYearText(int kisyubi, int nendo, int nengoKubun);
// One end of the accounting period: "2021年4月1日", or with the era (nengoKubun 1) "令和3年4月1日".
QString PeriodDateText(int yyyymmdd, int nengoKubun);
// The period printed in the header: start "～" end, half-width and without spaces;
// an interim statement (`cyukanSimebi`, its closing date yyyymmdd, not empty)
// ends at its closing date.
QString KaikeiKikanText(int kisyubi, int kimatsubi, const QString& cyukanSimebi, int nengoKubun);

// The title a statement prints in place of its template's: the organisation's
// own (`stored`, trimmed), followed by "（補正）" on the amendment statement
// (`amendment`) so that it is told from the budget; empty when none is set and
// the template's title stays.
QString PrintedTitle(const QString& stored, bool amendment);

// "=B6-C6": the first column minus the second on `row`.
QString DiffFormula(QChar first, QChar second, int row);

// The template rows a section of n items hides, bottom first: a section keeps
// at least one row, the surplus of the template's `meisaiGyosu` rows goes.
std::vector<int> SurplusRows(int kaisiGyo, int meisaiGyosu, int n);

// The last condition of the statements' queries on the work rows: an item is
// printed when one of its figures is present (and, without zero printing, not 0).
// An empty `hikakuField` makes the statement about the one figure `taisyoField`.
QString FigureCondition(const QString& taisyoField, const QString& hikakuField, bool zeroPrint);
// `select` (the division's printed work rows, without an order) in the order the
// statements print them: each classification together, the classifications by
// the smallest 順序 of their lines and then by their own order, the lines within
// one by 順序. The reserve fund and the carry-over to the next year keep the
// place the layouts give them, whatever 順序 they hold.
QString InStatementOrder(const QString& select);
// `sql` with every :TaisyoField and :HikakuField (any letter case) replaced by the column names.
QString ReplaceFieldPlaceholders(const QString& sql, const QString& taisyoField, const QString& hikakuField);

// One line of a section as written: an item of the view, or the subtotal row of
// the classification whose items stand in the array rows first..last (0-based).
struct SectionLine {
    int item = -1;  // index into the section's items; -1 on a subtotal row
    int first = 0;
    int last = 0;
    bool startsGroup = false;  // the item is its classification's first
};
// The lines of a section whose items have the classification codes `bunrui`,
// in order. With `subtotals`, a classification whose printed item count
// (`kensu`) is at least 2 gets a subtotal row below its items; code 0 never does.
std::vector<SectionLine> PlanSection(const std::vector<int>& bunrui, const std::function<int(int)>& kensu,
                                     bool subtotals);

// The module that serves the n-th line (1-based) of YosansyoList.txt.
enum class Module { Yosansyo, Yosansyo1, Yosansyo5, Yosansyo7 };
Module ModuleForLine(int line);

}  // namespace yosansyo
