#include "ui/TsubakiGridBaseUnit.h"

#include <QPushButton>

#include "data/DataSetOperation.h"
#include "db/DataModule.h"
#include "ui/DBGrid.h"
#include "ui/Fonts.h"

TTsubakiGridBaseForm::TTsubakiGridBaseForm(QWidget* parent) : TDbExpGridForm(parent) {
    setFont(GothicFont(16));
    DBGrid1->SetAlwaysShowEditor(true);
    CloseBtn->setToolTip(QStringLiteral("ウインドウを閉じます。"));
    TsuikaBtn->setToolTip(QStringLiteral("新しい行を追加します。"));
    SakujyoBtn->setToolTip(QStringLiteral("選択中の行を削除します。"));
    CancelBtn->setToolTip(QStringLiteral("選択中の行の内容を入力前に戻します。"));
}

void TTsubakiGridBaseForm::PrepareWindow() {
    TDbExpGridForm::PrepareWindow();
    CloneDS.CloneCursor(ClientDataSet1, true);
    raise();
    activateWindow();
}

void TTsubakiGridBaseForm::OnRowSettled(std::function<void(data::DataSet&)> handler) {
    ClientDataSet1.AfterScroll = handler;
    ClientDataSet1.AfterPost = [handler, base = ClientDataSet1.AfterPost](data::DataSet& ds) {
        handler(ds);
        base(ds);
    };
    ClientDataSet1.AfterCancel = [handler, base = ClientDataSet1.AfterCancel](data::DataSet& ds) {
        base(ds);
        handler(ds);
    };
}

void TTsubakiGridBaseForm::OpenLookupLists(std::initializer_list<data::DataSet*> lists) {
    db::Connection& connection = DataModule1().SQLConnection1;
    for (data::DataSet* list : lists) {
        list->SetConnection(&connection);
        list->Command()->SetConnection(&connection);
        data::DsOpen(*list);
    }
}

void TTsubakiGridBaseForm::SakujyoBtnClick() {
    DBGrid1->setFocus();
    // No retry dialog and no question here: a window that asks does so before deleting.
    if (data::DataSet* ds = DBGrid1->DataSet())
        ds->Delete();
}
