// HELP > USER GUIDE: the technician's guide (guide.md, with its images
// beside it) shown in a window of its own. One instance at a time.
#pragma once

#include <QMainWindow>

class QTextBrowser;

namespace kq {

template <class W>
class SingleWindow;

class frmMain;

class Form_Guide : public QMainWindow {
    Q_OBJECT
public:
    // Opens the guide over main, or brings the open one to the front.
    static Form_Guide* ShowGuide(frmMain& main);
    static Form_Guide* Instance();
    static QString GuidePath();

    QTextBrowser* Text_Guide() const { return m_Text; }

private:
    friend class SingleWindow<Form_Guide>;
    explicit Form_Guide(frmMain& main);

    QTextBrowser* m_Text;
};

} // namespace kq
