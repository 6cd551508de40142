// Channel files dropped on a window: the drop is taken only when it holds
// at least one, and only those open; other files are left alone.
#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

namespace kq {

// The local .KQ files (any case of the suffix) among the dropped data.
QStringList ChannelFilesIn(const QMimeData* data);

// Makes target take drops of channel files; open is called for each one
// dropped. The handler lives as target's child.
void AcceptChannelFileDrops(QWidget* target, std::function<void(const QString&)> open);

} // namespace kq
