#include "master/TekiyoKensakuUnit.h"

TTekiyoKensakuForm::TTekiyoKensakuForm(QWidget* parent)
    : TKanaKensakuForm(
          {QStringLiteral("摘要 検索"),
           QStringLiteral(
               "select KENSAKU_MOJI as FURIGANA, MEISYO from TEKIYO order by KENSAKU_MOJI, MEISYO"),
           QStringLiteral("摘要"), 50, 10,
           QStringLiteral("検索文字が指定した文字で始まるデータのみ表示します。"),
           QStringLiteral("クリックした行の摘要が元の画面の摘要欄へ表示されます。")},
          parent) {}
