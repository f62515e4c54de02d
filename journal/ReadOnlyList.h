#pragma once
// The small lists of the import and recurring-line windows: whole rows chosen one
// at a time, nothing typed into the cells, Tab leaving the list.

#include <QAbstractItemView>
#include <QHeaderView>
#include <QStringList>
#include <QTableWidget>

inline void ReadOnlyList(QTableWidget* grid, const QStringList& headings) {
    grid->setColumnCount(static_cast<int>(headings.size()));
    grid->setHorizontalHeaderLabels(headings);
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setTabKeyNavigation(false);
}
