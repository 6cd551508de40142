// What a technician expects of a desktop tool, driven offscreen: the window
// on screen, undo, files from anywhere, settings kept between runs, the
// context menu, the band hint, print preview and CSV.
#include "GuiTestSupport.h"

#include "ChannelFile.h"
#include "Form_AutoFreq.h"
#include "Form_Keyin_CH.h"
#include "Form_Option_System.h"
#include "Form_Ports.h"
#include "KqSerialPort.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QStatusBar>
#include <QTest>
#include <QUndoStack>

using namespace kq;
using namespace kqtest;

class TestDesktopUse : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return {};
        return f.fileName();
    }
    QString tableFile(const QString& name, int16_t ch, double rx) {
        ClassKQxx53 dev;
        dev.TheRxFreq(ch, rx);
        dev.TheTxFreq(ch, rx);
        const QString path = dir.filePath(name);
        SaveChannelFile(dev, path.toStdString());
        return path;
    }
    static void editChannel(frmDocument* d, int row, const QString& rx) {
        d->List()->setCurrentRow(row);
        d->OpenChannelEdit();
        Form_Keyin_CH* dlg = Form_Keyin_CH::Open();
        dlg->Text_RxFreq->setText(rx);
        dlg->Text_TxFreq->setText(rx);
        dlg->Command_OK_Click();
        Settle();
    }
    static void fill(frmDocument* d, const QString& start, const QString& stop, const QString& freq) {
        d->OpenAutoFreq();
        Form_AutoFreq* f = Form_AutoFreq::Open();
        for (const auto& [field, text] : {QPair<QLineEdit*, QString>{f->Text_StartCH, start}, {f->Text_StopCH, stop},
                                          {f->Text_StartFreq, freq}, {f->Text_SpaceFreq, "12.5"}})
            field->setText(text);
        f->Command_OK_Click();
        Settle();
    }
    // As typed into the file dialog's name field, then accepted.
    static void typeFileName(QFileDialog* f, const QString& path) {
        f->findChild<QLineEdit*>("fileNameEdit")->setText(path);
        static_cast<QDialog*>(f)->accept();
    }

private slots:
    void init() { QSettings().clear(); }

    void mainWindowIsPlacedByItsFrameAndKeepsItsPlace() {
        {
            frmMain m;
            m.show();
            QVERIFY(QTest::qWaitForWindowExposed(&m));
            QCOMPARE(m.frameGeometry().topLeft(), QPoint(0, 0));
            QVERIFY(m.geometry().top() > 0); // the title bar above the inner area is on screen
            m.setGeometry(120, 90, 700, 520);
            QVERIFY(m.close());
        }
        frmMain again;
        QCOMPARE(again.geometry(), QRect(120, 90, 700, 520));
    }

    void everyChangeIsOneUndoStepAndTheTitleMarksUnsavedChanges() {
        frmMain m;
        m.show();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        frmDocument* d = m.NewDocument();
        const std::function<void()> commands[] = {
            [d] { fill(d, "0", "15", "146"); }, // all 16 channels
            [d] { editChannel(d, 2, "150.5"); },
            [d] { Select(d, {2}); MenuItem("&EDIT", "CU&T")->trigger(); },
            [d] { Select(d, {10}); MenuItem("&EDIT", "&PASTE")->trigger(); },
            [d] { Select(d, {11}); MenuItem("&EDIT", "&DELETE")->trigger(); },
            [d] {
                d->OpenSystemOption(), Form_Option_System::Open()->Combo_Model->setCurrentIndex(0);
                Form_Option_System::Open()->Command_Yes_Click();
            },
            [d] { d->myDevice().TheRxFreq(15, 160.0), d->MarkModified(); }, // as a read of the radio leaves it
        };
        const auto state = [d] { return Rows(d).join('\n') + d->LabelModel()->text(); };
        QStringList states = {state()};
        for (const auto& run : commands) {
            run();
            Settle();
            states << state();
            QCOMPARE(d->UndoStack()->count(), states.size() - 1);
            QVERIFY(states.last() != states[states.size() - 2]);
            QVERIFY(d->isWindowModified() && d->IsModified());
        }
        QCOMPARE(d->windowTitle(), d->Caption() + "[*]");
        // Changing nothing (deleting an empty row, a read of the same table) makes no step.
        Select(d, {2});
        MenuItem("&EDIT", "&DELETE")->trigger();
        d->MarkModified();
        QCOMPARE(d->UndoStack()->count(), states.size() - 1);
        // Undo walks back step by step to the new table, which needs no saving.
        m.activateWindow(); // from the dialogs, for the shortcuts
        QVERIFY(QTest::qWaitForWindowActive(&m));
        for (qsizetype i = states.size() - 2; i >= 0; --i) {
            QTest::keyClick(d->List(), Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(state(), states[i]);
        }
        QVERIFY(!d->isWindowModified() && !MenuItem("&EDIT", "&UNDO")->isEnabled());
        for (qsizetype i = 1; i < states.size(); ++i) {
            i % 2 ? QTest::keyClick(d->List(), Qt::Key_Y, Qt::ControlModifier)
                  : QTest::keyClick(d->List(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(state(), states[i]);
        }
        // A save is the new clean state: undoing from it marks the table again, redoing to it does not.
        QVERIFY(d->SaveTo(dir.filePath("undo.KQ")) && !d->isWindowModified());
        MenuItem("&EDIT", "&UNDO")->trigger();
        QVERIFY(d->isWindowModified() && d->IsModified());
        MenuItem("&EDIT", "&REDO")->trigger();
        QVERIFY(!d->isWindowModified() && !d->IsModified());
    }

    void filesOpenFromTheCommandLineDropsAndTheRecentList() {
        const QString a = tableFile("a.KQ", 1, 146.0), b = tableFile("b.kq", 2, 147.0), c = tableFile("c.KQ", 3, 148.0);
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir.path()); // a name relative to where the program starts
        const auto m = StartProgram({"kqprogrammer", a, "--port", "/dev/kqZ", "b.kq"});
        QDir::setCurrent(cwd);
        emit Menu("&WINDOW")->aboutToShow();
        QCOMPARE(Texts(Menu("&WINDOW")->actions()), QStringList({a, b}));
        QCOMPARE(KqSerialPort::PortMap(), QStringList({"/dev/kqZ"}));
        // Of a drop only the channel files open.
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(writeFile("notes.txt", "x")), QUrl::fromLocalFile(c)});
        QDragEnterEvent enter(QPoint(9, 9), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m.get(), &enter);
        QDropEvent drop(QPointF(9, 9), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m.get(), &drop);
        QVERIFY(enter.isAccepted() && drop.isAccepted());
        QVERIFY(m->Documents().size() == 3 && m->ActiveDocument()->Caption() == c);
        // Recent files: most recent first, each once, at most 8.
        QMenu* recent = MenuItem("&FILE", "RECENT &FILES")->menu();
        QCOMPARE(Texts(recent->actions()), QStringList({"&1 " + c, "&2 " + b, "&3 " + a}));
        for (int i = 0; i < 9; ++i) QVERIFY(m->ActiveDocument()->SaveTo(dir.filePath(QString("s%1.KQ").arg(i))));
        QCOMPARE(recent->actions().size(), 8);
        QCOMPARE(recent->actions()[0]->text(), "&1 " + dir.filePath("s8.KQ"));
        // A recent file deleted meanwhile leaves the list, with a message, and opens nothing.
        QVERIFY(QFile::remove(dir.filePath("s7.KQ")));
        MessageBoxAnswer ok(QMessageBox::Ok);
        recent->actions()[1]->trigger();
        QVERIFY(ok.text().contains(dir.filePath("s7.KQ")));
        QVERIFY(!m->RecentFiles().contains(dir.filePath("s7.KQ")) && m->Documents().size() == 3);
        // The file dialogs start where the last file was chosen; OPEN also lists all files.
        QStringList seen;
        ModalAnswer<QFileDialog> look([&](QFileDialog* f) {
            seen << f->nameFilters() << f->directory().absolutePath();
            if (f->acceptMode() == QFileDialog::AcceptOpen) return f->reject();
            typeFileName(f, dir.filePath("saved.KQ"));
        });
        MenuItem("&FILE", "SAVE &AS")->trigger();
        MenuItem("&FILE", "&OPEN")->trigger();
        QCOMPARE(seen.mid(2), QStringList({"*.KQ", "All files (*)", dir.path()}));
    }

    void choicesAreKeptBetweenRuns() {
        const QString port = writeFile("ttyFake", ""), gone = dir.filePath("ttyGone");
        {
            frmMain m;
            m.NewDocument();
            MenuItem("&DEVICE", "&FAST LINK")->trigger();
            MenuItem("&DEVICE", "&PORTS...")->trigger();
            Form_Ports* ports = Form_Ports::ShowPorts(&m);
            for (int i = 0; i < 4; ++i) ports->Combo_Port[i]->setCurrentText(i == 1 ? port : "");
            ports->Apply(); // a gap is kept, the blank end dropped
            QCOMPARE(KqSerialPort::PortMap(), QStringList({"", port}));
            ports->close();
            m.NoteFileChosen(dir.filePath("x.KQ"));
            m.AddRecentFile(dir.filePath("x.KQ"));
        }
        KqSerialPort::SetPortMap({});
        {
            frmMain m;
            m.NewDocument();
            QVERIFY(m.FastLink() && MenuItem("&DEVICE", "&FAST LINK")->isChecked());
            QCOMPARE(KqSerialPort::PortMap(), QStringList({"", port}));
            QCOMPARE(m.LastFolder() + " " + m.RecentFiles().join(" "), dir.path() + " " + dir.filePath("x.KQ"));
            QVERIFY(m.statusBar()->currentMessage().isEmpty());
            m.SetPortChoice({port, gone});
        }
        // A device that went is not searched silently in place of the system's ports.
        KqSerialPort::SetPortMap({});
        frmMain m;
        QVERIFY(m.statusBar()->currentMessage().contains(gone));
        QVERIFY(!KqSerialPort::PortMap().contains(gone));
    }

    void contextMenuOffersTheEditCommandsOnTheRow() {
        frmMain m;
        frmDocument* d = m.NewDocument();
        editChannel(d, 4, "150");
        const auto choose = [d](int row, const QString& item) {
            const std::unique_ptr<QMenu> menu(d->MakeContextMenu(d->List()->visualItemRect(d->List()->item(row)).center()));
            for (QAction* a : menu->actions())
                if (a->text() == item && a->isEnabled()) a->trigger();
            return Texts(menu->actions());
        };
        const QStringList before = Rows(d);
        Select(d, {4});
        QCOMPARE(choose(4, "&COPY"), QStringList({"EDIT C&HANNEL...", "", "CU&T", "&COPY", "&PASTE", "&DELETE", "", "&UNDO"}));
        choose(4, "&DELETE");
        QVERIFY(Rows(d)[4].contains("NONE"));
        choose(4, "&UNDO");
        Select(d, {7});
        choose(7, "&PASTE");
        QCOMPARE(Rows(d)[4] + Rows(d)[7].mid(2), before[4] + before[4].mid(2).replace("4  ", "7  "));
        choose(9, "EDIT C&HANNEL...");
        QVERIFY(Form_Keyin_CH::Open() && Form_Keyin_CH::Open()->windowTitle() == "Channel 9");
    }

    void bandHintNamesChannelsOutsideTheBandAndKeepsTheRows() {
        frmMain m;
        frmDocument* d = m.NewDocument();
        const auto hint = [&m] { return m.findChild<QLabel*>("Label_BandHint")->text(); };
        editChannel(d, 3, "440");
        QVERIFY(hint().contains("134 to 175 MHz") && hint().endsWith(": channel 3"));
        Select(d, {3});
        MenuItem("&EDIT", "&COPY")->trigger();
        Select(d, {9});
        MenuItem("&EDIT", "&PASTE")->trigger();
        QVERIFY(hint().endsWith(": channels 3, 9"));
        fill(d, "0", "15", "150");
        QCOMPARE(hint(), QString());
        m.OpenChannelFilePath(tableFile("low.KQ", 12, 120.0));
        QVERIFY(hint().endsWith(": channel 12"));
    }

    void printPreviewShowsTheReportAsPrintWould() {
        frmMain m;
        m.NewDocument();
        m.Printer().setPageOrientation(QPageLayout::Landscape); // a set-up choice carries over
        QString shown;
        ModalAnswer<QPrintPreviewDialog> look([&shown](QPrintPreviewDialog* p) {
            auto* preview = p->findChild<QPrintPreviewWidget*>();
            shown = QString("%1 %2").arg(preview->pageCount()).arg(preview->orientation() == QPageLayout::Landscape);
            p->reject();
        });
        MenuItem("&FILE", "PRINT PRE&VIEW")->trigger();
        QCOMPARE(shown, QString("1 1"));
    }

    void csvExportsEitherLayoutAndImportsAsOneStep() {
        frmMain m;
        frmDocument* d = m.NewDocument();
        editChannel(d, 5, "146.52");
        const QString chirp = dir.filePath("chirp.csv");
        ModalAnswer<QFileDialog> save([&chirp](QFileDialog* f) {
            f->selectNameFilter(f->nameFilters().value(1));
            typeFileName(f, chirp);
        });
        MenuItem("&FILE", "&EXPORT CSV...")->trigger();
        QFile chirpFile(chirp);
        QVERIFY(chirpFile.open(QIODevice::ReadOnly));
        QVERIFY(chirpFile.readLine().startsWith("Location,Name,Frequency,"));
        frmDocument* e = m.NewDocument();
        const QStringList empty = Rows(e);
        QVERIFY(e->ImportCsvFrom(chirp));
        QCOMPARE(Rows(e), Rows(d));
        MenuItem("&EDIT", "&UNDO")->trigger();
        QCOMPARE(Rows(e), empty);
        QVERIFY(!e->IsModified());
        // Columns the radio cannot hold are named; a file with a bad row changes nothing.
        const QString head = "Location,Name,Frequency,Duplex,Offset,Mode,Power\n";
        for (const auto& [text, imported, said] :
             {std::tuple<QString, bool, QString>{head + "0,HOME,146.52,,0,FM,High\n", true, "Name"},
              {head + "16,,146.52,,0,FM,High\n", false, "\"16\""}}) {
            const QStringList rows = Rows(e);
            MessageBoxAnswer ok(QMessageBox::Ok);
            QCOMPARE(e->ImportCsvFrom(writeFile("in.csv", text.toUtf8())), imported);
            QVERIFY(ok.text().contains(said));
            QCOMPARE(Rows(e) != rows, imported);
        }
        QCOMPARE(e->UndoStack()->count(), 1); // the import after the undo, and no more
    }
};

QTEST_MAIN(TestDesktopUse)
#include "test_DesktopUse.moc"
