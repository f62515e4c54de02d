#include "master/AiteTourokuUnit.h"

TAiteTourokuForm::TAiteTourokuForm(const QString& text, QWidget* parent)
    : TTekiyoTourokuForm(
          {QStringLiteral("入金先／支払先の登録"), QStringLiteral("登録する入金先／支払先"), 10, 40,
           QStringLiteral("select * from AITE where (MEISYO = :MEISYO)"),
           QStringLiteral("insert into AITE (MEISYO, FURIGANA) values (:MEISYO, :KENSAKU_MOJI)")},
          text, parent) {}
