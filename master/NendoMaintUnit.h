#pragma once
#include "ui/TsubakiBaseFormUnit2.h"

#include <QString>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QTableWidget;
class TDBEdit;
class TDBRadioGroup;

// 年度別基礎データ設定: one fiscal year's NENDO row — its first and last day, the
// officers printed on the statements and the year style of the reports. A year can
// start as a copy of the year before, its dates and the years in its texts moved on.
class TNendoMaintForm : public TTsubakiBaseForm2 {
    Q_OBJECT
  public:
    explicit TNendoMaintForm(QWidget* parent = nullptr);
    ~TNendoMaintForm() override;

    QGroupBox* NendoGroup;   // 年度基礎情報
    QGroupBox* DantaiGroup;  // 団体基礎情報
    TDBEdit* KiEdit;
    TDBEdit* KisyubiEdit;
    TDBEdit* KimatsubiEdit;
    TDBEdit* YubinEdit;
    TDBEdit* JyusyoEdit;
    TDBEdit* TelEdit;
    TDBEdit* FaxEdit;
    TDBEdit* YakusyokuEdit;
    TDBEdit* DaihyosyaEdit;
    TDBEdit* KaikeiYakusyokuEdit;
    TDBEdit* Kaikei1Edit;
    TDBEdit* Kaikei2Edit;
    TDBEdit* KansaYakusyokuEdit;
    TDBEdit* Kansa1Edit;
    TDBEdit* Kansa2Edit;
    TDBRadioGroup* NengoKubunGroup;
    QPushButton* InportBtn;  // 前年度ﾃﾞｰﾀｺﾋﾟｰ

    // --- 年度の締め: the state of the year shown, its closes and reopens.
    QGroupBox* SimeGroup;
    QLabel* SimeStateLabel;
    QPushButton* SimeBtn;    // 年度を締める
    QPushButton* KaijyoBtn;  // 締めを解除
    QTableWidget* SimeList;  // every close and reopen of the year

    // What the user answers before a close or reopen (nullopt: cancelled); by
    // default the question window (TNendoSimeDialog).
    struct SimeAnswer {
        QString password;
        QString reason;
    };
    std::function<std::optional<SimeAnswer>(int nendo, bool reopen, bool askPassword)> AskSime;

  protected:
    void ShowBrowseState() override;
    void ShowEditState() override;
    void PostEdit() override;
    void SaveData() override;
    // The text of the previous year `previousYear` with the year it names moved on
    // by one, in the year style of the row being copied.
    QString ShiftYearInText(int previousYear, const QString& text) const;

  private:
    void ClientDataSet1NewRecord(data::DataSet& ds);
    void ClientDataSet1KISYUBISetText(data::Field& field, const QString& text);
    void InportBtnClick();
    void SimeBtnClick(bool reopen);
    void ShowSimeState();
    void CopyPreviousYear(const data::DataSet& previous);
    void CheckDates();
    [[noreturn]] void RefuseSave(QWidget* control, const QString& message);

    bool copyWareki_ = false;  // the row being copied shows Japanese-era years
};
