#include "ui/VersionFooter.h"

#include <QHBoxLayout>
#include <QLabel>

#include "core/Ver_Info.h"
#include "ui/Fonts.h"

TVersionFooter::TVersionFooter(QWidget* parent)
    : QFrame(parent), Cyosakuken(new QLabel(this)), VER_NO(new QLabel(this)) {
    setFrameShape(QFrame::StyledPanel);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    for (QLabel* label : {Cyosakuken, VER_NO}) {
        label->setFont(GothicFont(12));
        label->setPalette(palette);
    }
    VER_NO->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(Cyosakuken, 1);
    layout->addWidget(VER_NO);
}

void TVersionFooter::ShowVersionInfo() {
    const TVerInfo info;
    Cyosakuken->setText(info.LegalCopyright());
    VER_NO->setText(QStringLiteral("Ver-") + info.FileVersion());
}
