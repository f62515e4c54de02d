#include "ui/TsubakiBaseFormUnit1.h"

#include <QDate>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/KyotsuUnit.h"
#include "ui/Fonts.h"
#include "ui/SpinButton.h"
#include "ui/YearEdit.h"

namespace {
void SetTextColour(QWidget* w, const QColor& colour) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::WindowText, colour);
    w->setPalette(palette);
}
}  // namespace

TTsubakiBaseForm1::TTsubakiBaseForm1(QWidget* parent)
    : TTsubakiBaseForm(parent),
      CloseBtn(new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                               QStringLiteral("閉じる(&C)"), this)),
      Panel2(new QFrame(this)),
      Label1(new QLabel(QStringLiteral("会計年度"), Panel2)),
      SpinButton1(new TSpinButton(Panel2)),
      Edit1(new TYearEdit(Panel2)),
      Label2(new QLabel(Panel2)),
      StatusLabel(new QLabel(this)),
      headerLayout_(new QHBoxLayout(Panel2)),
      rootLayout_(new QVBoxLayout(this)),
      bodyLayout_(new QVBoxLayout) {
    CloseBtn->setToolTip(QStringLiteral("ウインドウを閉じます。"));
    CloseBtn->setFocusPolicy(Qt::ClickFocus);
    CloseBtn->setAutoDefault(false);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::reject);

    Panel2->setFrameShape(QFrame::StyledPanel);
    Edit1->setFixedWidth(Edit1->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    Label2->setFont(GothicFont(17));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setMinimumWidth(240);
    SetTextColour(Label2, Qt::blue);

    headerLayout_->addWidget(Label1);
    headerLayout_->addWidget(SpinButton1);
    headerLayout_->addWidget(Edit1);
    headerLayout_->addWidget(Label2, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(Panel2, 1);
    top->addWidget(CloseBtn, 0, Qt::AlignTop);
    rootLayout_->addLayout(top);
    rootLayout_->addLayout(bodyLayout_, 1);
    SetTextColour(StatusLabel, Qt::darkBlue);
    StatusLabel->setMinimumHeight(StatusLabel->fontMetrics().height());
    rootLayout_->addWidget(StatusLabel);

    // The spinner is no tab stop: the year box is the panel's first input.
    connect(SpinButton1, &TSpinButton::UpClick, this, [this] { Guard([this] { StepNendo(+1); }); });
    connect(SpinButton1, &TSpinButton::DownClick, this, [this] { Guard([this] { StepNendo(-1); }); });
}

void TTsubakiBaseForm1::PrepareWindow() {
    SetNendo(CurrentNendo != 0 ? CurrentNendo : QDate::currentDate().year());
    SetDantaimei(CurrentDantai);
}

int TTsubakiBaseForm1::GetNendo() const {
    bool ok = false;
    const int year = Edit1->text().toInt(&ok);
    return ok ? year : 0;
}

void TTsubakiBaseForm1::SetNendo(int year) {
    Edit1->setText(QString::number(year));
}

void TTsubakiBaseForm1::SetDantaimei(const QString& name) {
    Label2->setText(name);
}

void TTsubakiBaseForm1::ShowStatus(const QString& text) {
    StatusLabel->setText(text);
}

void TTsubakiBaseForm1::StepNendo(int delta) {
    const int year = GetNendo();
    if ((delta == +1 && year <= 9998) || (delta == -1 && year >= 2))
        SetNendo(year + delta);
    Edit1->setFocus();
}
