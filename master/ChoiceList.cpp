#include "master/ChoiceList.h"

#include <QHeaderView>
#include <QKeyEvent>

#include "ui/plnBaseFormUnit.h"

TChoiceList::TChoiceList(QWidget* parent) : QTableView(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setAlternatingRowColors(true);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    TplnBaseForm::ExemptFromNavigation(this);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit Chosen(index.row());
    });
}

void TChoiceList::FitColumns(int stretchColumn) {
    QHeaderView* header = horizontalHeader();
    const int count = model() ? model()->columnCount() : 0;
    for (int c = 0; c < count; ++c)
        header->setSectionResizeMode(
            c, c == stretchColumn ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
}

void TChoiceList::FixColumnWidth(int column, int characters) {
    QHeaderView* header = horizontalHeader();
    header->setSectionResizeMode(column, QHeaderView::Fixed);
    header->resizeSection(column, fontMetrics().horizontalAdvance(QStringLiteral("あ")) * characters + 12);
}

void TChoiceList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (currentIndex().isValid())
            emit Chosen(currentIndex().row());
        event->accept();  // never the dialog's default button
        return;
    }
    QTableView::keyPressEvent(event);
}
