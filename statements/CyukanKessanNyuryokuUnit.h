#pragma once
// 中間決算書データ入力: the interim settlement entry window. The settlement window
// for the year so far, up to a closing date (締日) typed as month and day: the
// journal is summed up to that date, the carry-over line is the balance at it
// (次月繰越金), and lines and texts are kept per year and closing date
// (CYUKAN_KESSAN, CYUKAN_KESSAN_NENDO), so a year may hold any number of them.
// The year's NENDO row is never changed here.

#include <QString>

#include "statements/KessanNyuryokuUnit.h"

class QLabel;
class QLineEdit;

class TCyukanKessanNyuryokuForm : public TKessanNyuryokuForm {
    Q_OBJECT
  public:
    explicit TCyukanKessanNyuryokuForm(QWidget* parent = nullptr);
    ~TCyukanKessanNyuryokuForm() override;

    // The closing date of the load (yyyymmdd; empty before a load).
    const QString& LoadedSimebi() const { return simebi_; }
    // The closing date of the load: the statements' period ends there and they
    // are marked interim, whatever 決算書日付 says (that text is printed as the
    // document's date).
    QString CyukanSimebi() const override { return simebi_; }

    QLabel* SimebiLabel;
    QLineEdit* SimebiEdit;  // 締日, "99月99日"

  protected:
    QString SavedLinesTable() const override { return QStringLiteral("CYUKAN_KESSAN"); }
    QString SavedLinesCondition() const override {
        return QStringLiteral("(NENDO = :Nendo) and (SIMEBI = :Simebi)");
    }
    db::Connection::Params SavedLinesParams() const override;
    QString ClosingDate() const override { return simebi_; }
    void SetQueryParams(data::SqlCommand& command) override;
    void LoadData() override;
    void OpenTextsRow() override;
    void ReplaceSavedLines() override;
    void ShowBrowseState() override;
    void ShowEditState() override;

  private:
    // The month and day as typed: "mmdd" with blanks where nothing was typed.
    QString TypedMonthDay() const;

    // One editing run uses one closing date (the field is disabled meanwhile).
    QString simebi_;
};
