#include "app/StartWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/AppTitle.h"

StartWindow::StartWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(AppTitle());
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(AppTitle(), this);
    QFont font = title->font();
    font.setPointSize(font.pointSize() * 2);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    auto* close = new QPushButton(QStringLiteral("終了"), this);
    close->setToolTip(QStringLiteral("プログラムを終了します。"));
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close);
    resize(360, 160);
}
