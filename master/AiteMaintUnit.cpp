#include "master/AiteMaintUnit.h"

TAiteMaintForm::TAiteMaintForm(QWidget* parent)
    : TTekiyoMaintForm(ListDef{QStringLiteral("入金先／支払先 設定"),
                               QStringLiteral("select * from AITE order by Meisyo, FURIGANA"),
                               QStringLiteral("AITE"), QStringLiteral("名称"), 10, QStringLiteral("FURIGANA"),
                               20, QStringLiteral("名称が重複しています。")},
                       parent) {}

TAiteMaintForm::~TAiteMaintForm() = default;
