#include "ChannelList.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QAccessibleWidget>
#include <QPointer>

#include <map>
#include <utility>

namespace kq {

namespace {

// The fields of a row: first character and width (the row's layout).
constexpr std::pair<int, int> kColumns[] = {{0, 2},  {4, 2},  {7, 10}, {19, 5},
                                            {28, 10}, {40, 5}, {49, 1}};
constexpr int kColumnCount = static_cast<int>(std::size(kColumns));

// Children of the table: the headers first, then the cells row by row.
int childIndex(int row, int column) { return (row + 1) * kColumnCount + column; }

QAccessibleInterface* tableOf(const QListWidget* list) {
    return QAccessible::queryAccessibleInterface(const_cast<QListWidget*>(list));
}

class CellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    // row -1: the header of column.
    CellAccessible(ChannelList* list, int row, int column)
        : m_List(list), m_Row(row), m_Column(column) {}

    bool isValid() const override { return !m_List.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_List ? m_List->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return m_List ? tableOf(m_List) : nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override {
        return m_Row < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }

    QString text(QAccessible::Text t) const override {
        if (!m_List) return {};
        if (t == QAccessible::Name)
            return m_Row < 0 ? ChannelList::ColumnHeaders().value(m_Column)
                             : m_List->CellText(m_Row, m_Column);
        if (t == QAccessible::Description && m_Row >= 0 && m_Row < m_List->count())
            return m_List->item(m_Row)->toolTip();
        return {};
    }

    QRect rect() const override {
        if (!m_List || m_Row >= m_List->count()) return {};
        const QFontMetrics fm(m_List->font());
        const int cw = fm.horizontalAdvance(QLatin1Char('0'));
        QRect r = m_Row < 0 ? QRect(0, -fm.height(), m_List->viewport()->width(), fm.height())
                            : m_List->visualItemRect(m_List->item(m_Row));
        r.setLeft(r.left() + 2 + ChannelList::ColumnStart(m_Column) * cw);
        r.setWidth(ChannelList::ColumnWidth(m_Column) * cw);
        return QRect(m_List->viewport()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!m_List || m_Row < 0) return s;
        s.selectable = s.focusable = true;
        s.selected = isSelected();
        s.focused = m_List->hasFocus() && m_List->currentRow() == m_Row && m_Column == 0;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this)
                                                    : nullptr;
    }

    bool isSelected() const override {
        return m_List && m_Row >= 0 && m_Row < m_List->count() && m_List->item(m_Row)->isSelected();
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        QAccessibleInterface* table = parent();
        return table ? QList<QAccessibleInterface*>{table->child(m_Column)}
                     : QList<QAccessibleInterface*>{};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_Column; }
    int rowIndex() const override { return m_Row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<ChannelList> m_List;
    int m_Row, m_Column;
};

class TableAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TableAccessible(ChannelList* list) : QAccessibleWidget(list, QAccessible::Table) {}
    ~TableAccessible() override {
        for (const auto& [index, id] : m_Cells) QAccessible::deleteAccessibleInterface(id);
    }

    ChannelList* list() const { return static_cast<ChannelList*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    int childCount() const override { return childIndex(rowCount(), 0); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        // Made once each and kept by Qt's registry, which screen readers address them by.
        auto it = m_Cells.find(index);
        if (it == m_Cells.end()) {
            auto* cell = new CellAccessible(list(), index / kColumnCount - 1, index % kColumnCount);
            it = m_Cells.emplace(index, QAccessible::registerAccessibleInterface(cell)).first;
        }
        return QAccessible::accessibleInterface(it->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [index, id] : m_Cells)
            if (QAccessible::accessibleInterface(id) == child) return index;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y)) return child(i);
        return nullptr;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount) return nullptr;
        return child(childIndex(row, column));
    }
    int columnCount() const override { return kColumnCount; }
    int rowCount() const override { return list()->count(); }
    QString columnDescription(int column) const override {
        return ChannelList::ColumnHeaders().value(column);
    }
    QString rowDescription(int row) const override {
        return row >= 0 && row < rowCount() ? list()->item(row)->toolTip() : QString();
    }
    QList<int> selectedRows() const override {
        QList<int> rows;
        for (int r = 0; r < rowCount(); ++r)
            if (list()->item(r)->isSelected()) rows << r;
        return rows;
    }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        for (int r : selectedRows())
            for (int c = 0; c < kColumnCount; ++c) cells << cellAt(r, c);
        return cells;
    }
    int selectedCellCount() const override { return selectedRowCount() * kColumnCount; }
    bool isRowSelected(int row) const override { return selectedRows().contains(row); }
    bool selectRow(int row) override { return setRowSelected(row, true); }
    bool unselectRow(int row) override { return setRowSelected(row, false); }
    // A row is the unit of selection: columns are never selected alone.
    int selectedColumnCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    // The rows are always the table's 16 channels; cells read them live.
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    bool setRowSelected(int row, bool on) {
        if (row < 0 || row >= rowCount()) return false;
        list()->item(row)->setSelected(on);
        return true;
    }

    mutable std::map<int, QAccessible::Id> m_Cells;
};

QAccessibleInterface* channelListFactory(const QString&, QObject* object) {
    if (auto* list = qobject_cast<ChannelList*>(object)) return new TableAccessible(list);
    return nullptr;
}

} // namespace

ChannelList::ChannelList(QWidget* parent) : QListWidget(parent) {
    static const bool installed = (QAccessible::installFactory(channelListFactory), true);
    Q_UNUSED(installed);
}

QStringList ChannelList::ColumnHeaders() {
    return {tr("CH"),       tr("CHSW"),     tr("RX Freq."), tr("RX Space"),
            tr("TX Freq."), tr("TX Space"), tr("PWR")};
}

int ChannelList::ColumnStart(int column) { return kColumns[column].first; }
int ChannelList::ColumnWidth(int column) { return kColumns[column].second; }

QString ChannelList::CellText(int row, int column) const {
    if (row < 0 || row >= count() || column < 0 || column >= kColumnCount) return {};
    return item(row)->text().mid(ColumnStart(column), ColumnWidth(column)).trimmed();
}

void ChannelList::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // QListView's own event would name the row's number as a child.
    QAbstractItemView::currentChanged(current, previous);
    if (QAccessible::isActive() && current.isValid() && hasFocus()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(childIndex(current.row(), 0));
        QAccessible::updateAccessibility(&event);
    }
}

void ChannelList::selectionChanged(const QItemSelection& selected,
                                   const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
    if (!QAccessible::isActive()) return;
    for (const auto& [range, type] : {std::pair{selected, QAccessible::SelectionAdd},
                                      std::pair{deselected, QAccessible::SelectionRemove}}) {
        for (const QModelIndex& index : range.indexes()) {
            QAccessibleEvent event(this, type);
            event.setChild(childIndex(index.row(), 0));
            QAccessible::updateAccessibility(&event);
        }
    }
}

} // namespace kq
