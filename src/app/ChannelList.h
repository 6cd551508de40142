// The channel table's list: rows of fixed-width text on the screen, and for
// a screen reader a table whose cells are the row's fields under the
// column headers of the table's heading. A row outside the radio's band
// says so in its cells' description (the row's tool tip).
#pragma once

#include <QListWidget>

namespace kq {

class ChannelList : public QListWidget {
    Q_OBJECT
public:
    explicit ChannelList(QWidget* parent = nullptr);

    // The column headers, as the heading above the rows names them.
    static QStringList ColumnHeaders();
    // The text of one field of row ("" when there is no such row).
    QString CellText(int row, int column) const;
    // Where a field's characters lie in a row.
    static int ColumnStart(int column);
    static int ColumnWidth(int column);

protected:
    // A screen reader is told of the current and selected cells in the
    // table's own numbering of children, not the list's.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
};

} // namespace kq
