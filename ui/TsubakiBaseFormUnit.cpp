#include "ui/TsubakiBaseFormUnit.h"

#include <QTimer>

#include "core/ErrorHandler.h"
#include "ui/Fonts.h"

TTsubakiBaseForm::TTsubakiBaseForm(QWidget* parent) : TplnBaseForm(parent) {
    setFont(GothicFont(16));
}

void TTsubakiBaseForm::showEvent(QShowEvent* event) {
    TplnBaseForm::showEvent(event);
    if (prepared_)
        return;  // a restored (un-minimised) window is not prepared again
    prepared_ = true;
    FormShow();
}

void TTsubakiBaseForm::FormShow() {
    if (!RunGuarded([this] { PrepareWindow(); })) {
        // Asked after the show has finished, so the window closes at once.
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    raise();
    activateWindow();
}

void TTsubakiBaseForm::Guard(const std::function<void()>& handler) {
    RunGuarded(handler);
}
