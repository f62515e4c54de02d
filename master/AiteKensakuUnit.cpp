#include "master/AiteKensakuUnit.h"

TAiteKensakuForm::TAiteKensakuForm(QWidget* parent)
    : TKanaKensakuForm(
          {QStringLiteral("入金先／支払先 検索"),
           QStringLiteral("select * from AITE order by FURIGANA, MEISYO"), QStringLiteral("名称"), 10, 20,
           QStringLiteral("ふりがなが指定した文字で始まるデータのみ表示します。"),
           QStringLiteral("クリックした行の名称が元の画面の入金先／支払先欄へ表示されます。")},
          parent) {}
