#include "backup/FileWindowLayout.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/Fonts.h"

void LayOutFileWindow(QWidget& window, const FileWindowParts& parts) {
    QLabel* panel = parts.namePanel;
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setFont(GothicFont(24));
    QPalette blue = panel->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    panel->setPalette(blue);
    panel->setAlignment(Qt::AlignCenter);
    panel->setMinimumHeight(40);

    for (QPushButton* button : {parts.browse, parts.run, parts.close}) {
        button->setFocusPolicy(Qt::ClickFocus);
        button->setAutoDefault(false);
    }
    parts.run->setMinimumSize(120, 36);
    parts.close->setMinimumSize(120, 36);

    auto* left = new QVBoxLayout;
    left->addWidget(panel);
    left->addWidget(parts.explanation);
    left->addLayout(parts.fields);
    left->addStretch(1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(parts.run);
    buttons->addWidget(parts.close);
    buttons->addStretch(1);
    auto* root = new QHBoxLayout(&window);
    root->addLayout(left, 1);
    root->addLayout(buttons);
}
