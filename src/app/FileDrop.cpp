#include "FileDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace kq {

QStringList ChannelFilesIn(const QMimeData* data) {
    QStringList files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QStringLiteral(".KQ"), Qt::CaseInsensitive))
            files << url.toLocalFile();
    return files;
}

namespace {
class DropFilter : public QObject {
public:
    DropFilter(QWidget* target, std::function<void(const QString&)> open)
        : QObject(target), m_Open(std::move(open)) {}

protected:
    bool eventFilter(QObject* obj, QEvent* e) override {
        if (e->type() == QEvent::DragEnter) {
            auto* enter = static_cast<QDragEnterEvent*>(e);
            if (!ChannelFilesIn(enter->mimeData()).isEmpty())
                enter->acceptProposedAction();
            else
                enter->ignore();
            return true;
        }
        if (e->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(e);
            const QStringList files = ChannelFilesIn(drop->mimeData());
            if (files.isEmpty()) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            for (const QString& f : files) m_Open(f);
            return true;
        }
        return QObject::eventFilter(obj, e);
    }

private:
    std::function<void(const QString&)> m_Open;
};
} // namespace

void AcceptChannelFileDrops(QWidget* target, std::function<void(const QString&)> open) {
    target->setAcceptDrops(true);
    target->installEventFilter(new DropFilter(target, std::move(open)));
}

} // namespace kq
