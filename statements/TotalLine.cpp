#include "statements/TotalLine.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>

#include "data/DataSetTableModel.h"
#include "data/FieldFormat.h"
#include "ui/DBGrid.h"

namespace {

const QString kAmountFormat = QStringLiteral("#,##0;-#,##0");

}  // namespace

TTotalLine::TTotalLine(const QString& label, TDBGrid* grid, QStringList fieldNames, QWidget* parent)
    : QFrame(parent), grid_(grid), fieldNames_(std::move(fieldNames)), label_(new QLabel(label, this)) {
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::NoFocus);
    label_->setAlignment(Qt::AlignCenter);
    for (qsizetype i = 0; i < fieldNames_.size(); ++i) {
        auto* figure = new QLabel(this);
        figure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        figures_.push_back(figure);
    }
    setFixedHeight(fontMetrics().height() + 12);
    if (grid_) {
        connect(grid_->horizontalHeader(), &QHeaderView::sectionResized, this, &TTotalLine::Place);
        connect(grid_->horizontalHeader(), &QHeaderView::geometriesChanged, this, &TTotalLine::Place);
        connect(grid_->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TTotalLine::Place);
    }
}

void TTotalLine::SetValues(const std::vector<db::Value>& values) {
    for (std::size_t i = 0; i < figures_.size(); ++i) {
        const db::Value v = i < values.size() ? values[i] : db::Value();
        figures_[i]->setText(v.IsNull() ? QString() : data::FormatNumber(v.AsInteger(), kAmountFormat));
    }
}

void TTotalLine::Clear() {
    SetValues({});
}

QString TTotalLine::Label() const {
    return label_->text();
}

QString TTotalLine::Text(int index) const {
    return figures_.at(static_cast<std::size_t>(index))->text();
}

void TTotalLine::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    Place();
}

void TTotalLine::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    Place();
}

void TTotalLine::Place() {
    const int h = height() - 2 * frameWidth();
    const int top = frameWidth();
    // Where each figure's column starts and how wide it is, in this line's coordinates.
    std::vector<std::pair<int, int>> spans;
    const data::DataSetTableModel* model = grid_ ? grid_->Model() : nullptr;
    for (const QString& name : fieldNames_) {
        int column = -1;
        if (model)
            for (int c = 0; c < model->columnCount(); ++c)
                if (const data::Field* f = model->FieldAt(c);
                    f && f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
                    column = c;
        if (column < 0 || !grid_->isVisible()) {
            spans.emplace_back(-1, 0);
            continue;
        }
        const QPoint at =
            grid_->viewport()->mapTo(window(), QPoint(grid_->columnViewportPosition(column), 0));
        spans.emplace_back(mapFrom(window(), at).x(), grid_->columnWidth(column));
    }
    const bool known = !spans.empty() && spans.front().first >= 0;
    if (!known) {
        // Not laid out yet: the label and the figures side by side.
        const int w = (width() - 2 * frameWidth()) / static_cast<int>(figures_.size() + 1);
        label_->setGeometry(frameWidth(), top, w, h);
        for (std::size_t i = 0; i < figures_.size(); ++i)
            figures_[i]->setGeometry(frameWidth() + w * static_cast<int>(i + 1), top, w - 4, h);
        return;
    }
    label_->setGeometry(frameWidth(), top, std::max(0, spans.front().first - frameWidth()), h);
    for (std::size_t i = 0; i < figures_.size(); ++i)
        figures_[i]->setGeometry(spans[i].first, top, std::max(0, spans[i].second - 4), h);
}
