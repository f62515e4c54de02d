#include "master/NendoSimeDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/JapaneseText.h"

using namespace Qt::Literals::StringLiterals;

TNendoSimeDialog::TNendoSimeDialog(int nendo, bool reopen, bool askPassword, QWidget* parent)
    : QDialog(parent),
      MessageLabel(new QLabel(this)),
      PasswordEdit(askPassword ? new QLineEdit(this) : nullptr),
      ReasonEdit(new QLineEdit(this)),
      OkBtn(new QPushButton(reopen ? u"解除する"_s : u"締める"_s, this)),
      CancelBtn(new QPushButton(u"キャンセル"_s, this)) {
    setWindowTitle(reopen ? u"締めの解除"_s : u"年度の締め"_s);
    const QString year = QString::number(nendo) + u"年度"_s;
    MessageLabel->setText(
        reopen
            ? year +
                  u"の締めを解除します。\n解除すると、この年度の明細・予算・決算を変更できるようになります。"_s
            : year +
                  u"を締めます。\n締めた年度の明細・予算・決算は、解除するまで変更できません。\n"
                  u"(表示・帳票の出力・書出はできます)"_s);
    ReasonEdit->setMaxLength(100);
    ReasonEdit->setMinimumWidth(ReasonEdit->fontMetrics().horizontalAdvance(u'あ') * 30);
    ReasonEdit->setToolTip(reopen ? u"解除する理由を入力します。(必須)"_s
                                  : u"会計監査の日付など、記録しておく内容を入力します。(省略可)"_s);
    auto* form = new QFormLayout;
    if (PasswordEdit) {
        PasswordEdit->setEchoMode(QLineEdit::Password);
        PasswordEdit->setMaxLength(10);
        PasswordEdit->setToolTip(u"団体のパスワードを入力します。"_s);
        form->addRow(u"パスワード"_s, PasswordEdit);
    }
    form->addRow(reopen ? u"解除の理由"_s : u"メモ"_s, ReasonEdit);
    OkBtn->setDefault(true);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto* page = new QVBoxLayout(this);
    page->addWidget(MessageLabel);
    page->addSpacing(8);
    page->addLayout(form);
    page->addSpacing(8);
    page->addLayout(buttons);
    if (PasswordEdit)
        setTabOrder(PasswordEdit, ReasonEdit);
    setTabOrder(ReasonEdit, OkBtn);
    setTabOrder(OkBtn, CancelBtn);
    (PasswordEdit ? PasswordEdit : ReasonEdit)->setFocus();
}

QString TNendoSimeDialog::Reason() const {
    return TrimZen(ReasonEdit->text());
}

QString TNendoSimeDialog::Password() const {
    return PasswordEdit ? PasswordEdit->text() : QString();
}
