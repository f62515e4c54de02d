#pragma once
// A read-only total line under a statement grid (収入合計, 小計, …): its label under
// the grid's item column and one figure under each amount column, following the
// grid's column positions as they are laid out or resized.

#include <QFrame>
#include <QPointer>
#include <QStringList>

#include <vector>

#include "db/Value.h"

class QLabel;
class TDBGrid;

class TTotalLine : public QFrame {
    Q_OBJECT
  public:
    // `fieldNames`: the grid's columns the figures stand under, in order.
    TTotalLine(const QString& label, TDBGrid* grid, QStringList fieldNames, QWidget* parent = nullptr);

    // The figures, in the order of the field names; NULL shows empty.
    void SetValues(const std::vector<db::Value>& values);
    void Clear();
    QString Label() const;
    QString Text(int index) const;
    // Follows the grid's columns again (after columns were shown or hidden).
    void Place();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QPointer<TDBGrid> grid_;
    QStringList fieldNames_;
    QLabel* label_;
    std::vector<QLabel*> figures_;
};
