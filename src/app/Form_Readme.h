// The read-me viewer: shows KQreadme.txt from the program's folder and
// prints it. One instance at a time.
#pragma once

#include <QMainWindow>

class QPlainTextEdit;

namespace kq {

template <class W>
class SingleWindow;

class frmMain;

// A file the program ships: beside the program (a build folder), then in
// the installed tree relative to the program (a moved or unpacked
// installation), then where it was installed to. The first place when none
// holds it, for the message.
QString FindProgramFile(const QString& name, const QString& relativeFolder,
                        const QString& installedFolder);

class Form_Readme : public QMainWindow {
    Q_OBJECT
public:
    // Opens the viewer over main (it prints on main's printer), or leaves
    // the open one as it is.
    static Form_Readme* ShowReadme(frmMain& main);
    static Form_Readme* Instance();

    // The file's lines, each followed by CR LF; ok tells whether it was read.
    static QString ReadmeText(const QString& path, bool* ok);
    static QString ReadmePath();

    QPlainTextEdit* Text_Readme() const { return m_Text; }

private:
    friend class SingleWindow<Form_Readme>;
    explicit Form_Readme(frmMain& main);
    void print();

    frmMain& m_Main;
    QPlainTextEdit* m_Text;
};

} // namespace kq
