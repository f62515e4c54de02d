#pragma once
// "予算書出力": the choice of budget statement. The statements offered are the
// lines of YosansyoList.txt beside the program (key = the template's name shown
// as 帳票種別, value = its description, 出力内容); the line's position decides the
// module that makes it. "実行" makes the selected statement from the calling
// window's rows and leaves the window open for the next one; "設定値保存"
// remembers the choice, the zero-amount option and the chart sheet option in the
// year's NENDO row.
//
// The budget window's "予算書" button, after posting its pending edits:
//
//   TYosansyoSelectForm form(loadedYear, Jikoku, &NendoClientDS, this);
//   form.exec();
//
// `nendoDS` is the window's in-memory NENDO row (its unsaved statement texts
// print); it must stay open while the form is up. The settlement choice window
// ("決算書出力") derives from this one and replaces the list file, the NENDO
// columns and the line-to-module table (the virtual steps below).

#include "reports/ExlYosansyoUnit.h"
#include "ui/TsubakiBaseFormUnit.h"

#include <QString>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;
namespace data {
class DataSet;
}

class TYosansyoSelectForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    TYosansyoSelectForm(int nendo, const QString& jikoku, data::DataSet* nendoDS, QWidget* parent = nullptr);
    ~TYosansyoSelectForm() override;

    QLabel* Label1;
    QPushButton* ExecBtn;
    QPushButton* SaveBtn;
    QPushButton* CloseBtn;
    QTreeWidget* ListView1;
    QCheckBox* ZeroCheckBox;
    // The 「グラフ」 sheet after the statement (reports/StatementChartSheet.h).
    QCheckBox* GraphCheckBox;

    // The files the last "実行" handed to the viewer.
    const QStringList& LastSavedFiles() const { return lastSaved_; }

    virtual void ExecBtnClick();
    virtual void SaveBtnClick();

  protected:
    void PrepareWindow() override;

    // The list file beside the program.
    virtual QString ListFile() const;
    // "select … as SYOKICHI, … as ZERO_PRINT, … as GRAPH_PRINT from NENDO where (NENDO = :NENDO)".
    virtual QString SyokichiSql() const;
    // "update NENDO set … = :SYOKICHI, … = :ZeroPrint, … = :GraphPrint where (NENDO = :NENDO)".
    virtual QString SaveSql() const;
    // The module of the 1-based line `line` of the list.
    virtual std::unique_ptr<TExlYosansyoModule> NewModule(int line) const;
    // Hands the module what this window knows beyond the common values.
    virtual void SetupModule(TExlYosansyoModule& module) const;

    // 1-based line of the selection; 0 when nothing is selected.
    int SelectedLine() const;
    QString SelectedKey() const;

    int Nendo;
    QString Jikoku;
    data::DataSet* NendoDS;
    QStringList lastSaved_;

  private:
    void LoadList();
    void ReadRemembered();
    int ZeroPrintValue() const;
};
