// The desktop program's windows offscreen; radio transfers against a simulated radio in virtual time, and
// once against the kqradio emulator on a pseudo-terminal.
#include "CoreTestSupport.h"
#include "KqRadioProcess.h"

#include "RadioModel.h"
#include "SimLine.h"

#include "ChannelFile.h"
#include "LinkReplay.h"
#include "Form_AutoFreq.h"
#include "Form_Backups.h"
#include "Form_Keyin_CH.h"
#include "Form_Option_System.h"
#include "Form_Guide.h"
#include "Form_Ports.h"
#include "Form_Readme.h"
#include "FileSave.h"
#include "RadioBackups.h"
#include "SystemOption.h"
#include "TableCsv.h"
#include "TablePrint.h"
#include "TransferWindow.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QSignalSpy>
#include <QTest>
#include <QtPrintSupport>
#include <QtWidgets>

#include <condition_variable>
#include <mutex>

using namespace kq;
using namespace kqtest;
using Outcome = TransferSequence::Outcome;

namespace {

// Runs look, which must close it, on each modal window of type T, from a timer as the window runs its own loop.
template <class T>
struct ModalAnswer {
    QTimer timer;
    int count = 0;
    explicit ModalAnswer(std::function<void(T*)> look) {
        QObject::connect(&timer, &QTimer::timeout, [this, look] {
            if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) ++count, look(w);
        });
        timer.start(20);
    }
};
// Presses button on each message box that opens, and keeps its text.
struct BoxAnswer : ModalAnswer<QMessageBox> {
    QString text, detail;
    QRect shown;
    Qt::WindowFlags flags;
    explicit BoxAnswer(QMessageBox::StandardButton button)
        : ModalAnswer([this, button](QMessageBox* box) {
              text = box->text();
              detail = box->informativeText();
              shown = box->frameGeometry();
              flags = box->windowHandle()->flags();
              box->button(button) ? box->button(button)->click() : box->reject();
          }) {}
};

// A radio on a simulated line in virtual time, which the main window's transfers reach while it lives.
struct VirtualRadio {
    kq::RadioSetup setup;
    kq::SimRadios radios;
    kq::RadioModel& radio;
    const QString device = QString::fromStdString(kq::SimRadios::Device(0));
    frmMain& main;

    static kq::RadioSetup Setup(kq::RadioBehaviour b, int model, bool badId) {
        kq::RadioSetup s;
        s.radio = std::move(b);
        s.model = model;
        s.badId = badId;
        return s;
    }
    VirtualRadio(frmMain& m, kq::RadioBehaviour b = {}, int model = 2, bool badId = false)
        : setup(Setup(std::move(b), model, badId)), radio(radios.Add(setup)), main(m) {
        main.SetLinkEnds(SimulatedEnds(radios.Line()));
        main.UseLinkForThisRun({{device.toStdString()}, true, kq::kProtocolTickMs, kq::kEepromHoldMs});
    }
    ~VirtualRadio() { main.SetLinkEnds(SerialPortEnds()); }
    // The table the radio holds, saved as a channel file.
    QString save(const QString& path) {
        setup.save = path.toStdString();
        setup.Save(radio.Words());
        return path;
    }
};

// Waits until a transfer window, and any it starts (a restore), has ended; its result, nullopt when none started.
std::optional<TransferResult> Finish(TransferWindow* w) {
    if (!w) return std::nullopt;
    std::optional<TransferResult> r;
    QObject::connect(w, &TransferWindow::Finished, [&r](const TransferResult& x) { r = x; });
    if (!QTest::qWaitFor([&] { return r.has_value() && !TransferWindow::Open(); }, 120000)) return std::nullopt;
    return r;
}

// Holds the simulated line's next frame until the test's timer has worked on the busy table once more.
struct PokeGate {
    std::mutex m;
    std::condition_variable cv;
    int pokes = 0, target = 0;
    void Poke() {
        std::lock_guard<std::mutex> l(m);
        ++pokes;
        cv.notify_all();
    }
    void Arm() {
        std::lock_guard<std::mutex> l(m);
        target = pokes + 1;
    }
    void Pass() {
        std::unique_lock<std::mutex> l(m);
        cv.wait(l, [this] { return pokes >= target; });
    }
    int Count() {
        std::lock_guard<std::mutex> l(m);
        return pokes;
    }
};

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Rows(frmDocument* d) {
    QStringList r;
    for (int i = 0; i < d->List()->count(); ++i) r << d->List()->item(i)->text();
    return r;
}
void Select(frmDocument* d, std::initializer_list<int> rows) {
    d->List()->clearSelection();
    for (int i : rows) d->List()->item(i)->setSelected(true);
}
void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
frmMain* MainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<frmMain*>(w)) return m;
    return nullptr;
}
QString StatusField(const char* name) { return MainWindow()->findChild<QLabel*>(name)->text(); }
frmDocument* FreshDocument() { return MainWindow()->NewDocument(); }
// The texts of actions as shown ("&FILE", "" for a separator).
QStringList Texts(const QList<QAction*>& actions) {
    QStringList t;
    for (QAction* a : actions) t << a->text();
    return t;
}
// A menu of the menu bar, and one of its items, by the texts shown; nullptr when not shown.
QMenu* Menu(const QString& title) {
    for (QAction* m : MainWindow()->menuBar()->actions())
        if (m->text() == title) return m->menu();
    return nullptr;
}
QAction* MenuItem(const QString& menu, const QString& item) {
    if (QMenu* m = Menu(menu))
        for (QAction* a : m->actions())
            if (a->text() == item) return a;
    return nullptr;
}

} // namespace

class TestWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<frmMain> main;
    QTemporaryDir dir;

    // A new active table with channels 0 .. n-1, its image cut to words (19: header and channel 0, a short transfer).
    static frmDocument* table(int16_t n, int16_t words = 64) {
        frmDocument* d = FreshDocument();
        MarkChannels(d->myDevice(), n, 146.0125, 150.5, 0.025);
        d->myDevice().TotalEEWords(words);
        d->UpdateHomePage();
        return d;
    }
    // The last transfer's result, kept in the status bar.
    static QString status() { return StatusField("Label_Transfer"); }
    QString writeFile(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? f.fileName() : QString();
    }
    QString tableFile(const QString& name, int16_t ch, double rx) {
        ClassKQxx53 dev;
        dev.TheRxFreq(ch, rx);
        dev.TheTxFreq(ch, rx);
        return writeFile(name, QByteArray::fromStdString(ChannelFileText(dev)));
    }
    // The channel edit dialog on row, opened by a double click, with rx as Rx and Tx when given.
    static Form_Keyin_CH* editRow(frmDocument* d, int row, const QString& rx = {}) {
        d->List()->setCurrentRow(row);
        emit d->List()->itemDoubleClicked(d->List()->item(row));
        Form_Keyin_CH* dlg = Form_Keyin_CH::Open();
        if (!rx.isEmpty()) dlg->Text_RxFreq->setText(rx), dlg->Text_TxFreq->setText(rx);
        return dlg;
    }
    static void editChannel(frmDocument* d, int row, const QString& rx) {
        editRow(d, row, rx)->Command_OK_Click();
        Settle();
    }
    // As typed into the file dialog's name field, then accepted.
    static void typeFileName(QFileDialog* f, const QString& path) {
        f->findChild<QLineEdit*>("fileNameEdit")->setText(path);
        static_cast<QDialog*>(f)->accept();
    }
    // The protocol's tick: a loaded machine's late pseudo-terminal is a
    // slow line, which the link asks again about.
    void useLink(const std::vector<std::string>& ports, bool fast = true) {
        main->UseLinkForThisRun({ports, fast, kq::kProtocolTickMs, kq::kEepromHoldMs});
    }

private slots:
    void initTestCase() {
        // What the windows remember goes to a folder of the test's own, never the user's.
        QCoreApplication::setOrganizationName("kqprogrammer-test");
        QCoreApplication::setApplicationName("KQ Serial PC Programmer");
        for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
                QSettings::setPath(format, scope, dir.filePath("settings"));
        // Backups too.
        qputenv("XDG_STATE_HOME", dir.filePath("state").toLocal8Bit());
        main = StartProgram(ParseProgramArgs({"kqprogrammer", "--port", "/dev/kqA"}));
        useLink(main->Link().ports);
    }
    void init() { QSettings().clear(); }
    void cleanup() {
        BoxAnswer discard(QMessageBox::Discard);
        if (frmMain* m = MainWindow()) m->mdiArea()->closeAllSubWindows();
        Settle();
    }

    void startsWithUntitled1NumbersAreNeverReusedAndWindowsCascade() {
        QVERIFY(main->isVisible());
        QCOMPARE(main->Documents().size(), 1);
        frmDocument* first = main->ActiveDocument();
        QCOMPARE(first->Caption() + " " + Rows(first)[10] + first->LabelModel()->text() + first->LabelRFIF()->text() +
                     first->LabelReferOsc()->text(),
                 QString("Untitled1 10  A     NONE     12.5K       NONE     12.5K    L  KQ-0453-45 MHz12.8 MHz"));
        QCOMPARE(first->List()->currentRow() + first->myDevice().NowCHNum, 0);
        QCOMPARE(Texts(main->menuBar()->actions()),
                 QStringList({"&FILE", "&EDIT", "&OPTION", "&DEVICE", "&WINDOW", "&HELP"}));
        cleanup();
        // With every table closed the main window's own menus are shown, and work.
        QCOMPARE(Texts(main->menuBar()->actions()), QStringList({"&FILE", "&HELP"}));
        const int base = main->DocumentCount();
        MenuItem("&FILE", "&NEW")->trigger();
        frmDocument* a = main->ActiveDocument();
        MenuItem("&FILE", "NEW")->trigger(); // the table's FILE menu now
        frmDocument* b = main->ActiveDocument();
        QCOMPARE(a->Caption() + " " + b->Caption(), QString("Untitled%1 Untitled%2").arg(base + 1).arg(base + 2));
        const int step = Twips((base + 1) * 400) - Twips(base * 400);
        QCOMPARE(b->parentWidget()->pos() - a->parentWidget()->pos(), QPoint(step, step));
        a->parentWidget()->close();
        Settle();
        QCOMPARE(main->NewDocument()->Caption(), QString("Untitled%1").arg(base + 3));
        // Saved and opened tables have the path as caption; a file opened takes the next number, one not read none.
        editChannel(b, 15, "174.99375");
        ApplySystemOption(b->myDevice(), 0);
        const QString path = dir.filePath("table.KQ");
        QVERIFY(b->File().SaveTo(path));
        QCOMPARE(b->Caption(), path);
        QVERIFY(b->File().Save()); // Save: to the caption's path, without asking
        const QString copy = writeFile("copy.KQ", Bytes(path));
        frmDocument* o = main->OpenChannelFilePath(copy);
        QCOMPARE(o->Caption() + " " + o->LabelModel()->text() + " " + o->LabelRFIF()->text(), copy + " KQ-0253 45 MHz");
        QCOMPARE(Rows(o), Rows(b));
        QVERIFY(!o->IsModified());
        // A file open already is brought to the front, not opened twice.
        QCOMPARE(main->OpenChannelFilePath(dir.filePath("./table.KQ")), b);
        QCOMPARE(main->ActiveDocument(), b);
        for (const QString& bad : {writeFile("bad.KQ", "1\r\n2\r\nnot a number\r\n"), dir.filePath("missing.KQ")}) {
            BoxAnswer ok(QMessageBox::Ok);
            QVERIFY(!main->OpenChannelFilePath(bad));
            QVERIFY(ok.text.contains(QFileInfo(bad).fileName()));
        }
        QCOMPARE(main->NewDocument()->Caption(), QString("Untitled%1").arg(base + 5));
        // The WINDOW menu lists the tables and activates the one chosen.
        emit Menu("&WINDOW")->aboutToShow();
        const QList<QAction*> items = Menu("&WINDOW")->actions();
        QCOMPARE(Texts(items),
                 QStringList({path, QString("Untitled%1").arg(base + 3), copy, QString("Untitled%1").arg(base + 5)}));
        QVERIFY(!items[0]->isChecked());
        QVERIFY(items[3]->isChecked());
        items[0]->trigger();
        QCOMPARE(main->ActiveDocument(), b);
    }

    void clipboardIsSharedRedrawsKeepTheViewAndTheBandHintNamesChannelsOutsideTheBand() {
        frmDocument* d = FreshDocument();
        const auto hint = [this] { return main->findChild<QLabel*>("Label_BandHint")->text(); };
        editChannel(d, 2, "150.0125");
        editChannel(d, 5, "440");
        main->statusBar()->showMessage("Read the radio on COM1 (/dev/pts/0)."); // hides no lasting field
        QVERIFY(main->findChild<QLabel*>("Label_BandHint")->isVisible());
        QVERIFY(hint().contains("134 to 175 MHz"));
        QVERIFY(hint().endsWith(": channel 5"));
        // The row is coloured, its text stays the row; a screen reader reads its fields as cells, told it is outside.
        QVERIFY(d->List()->item(5)->background() != d->List()->item(4)->background());
        QCOMPARE(Rows(d)[5], QString("5   5  440.000000  12.5K    440.000000  12.5K    L  "));
        QAccessibleTableInterface* cells = QAccessible::queryAccessibleInterface(d->List())->tableInterface();
        QVERIFY(cells);
        QCOMPARE(cells->rowCount(), 16);
        QCOMPARE(cells->columnCount(), 7);
        QCOMPARE(cells->columnDescription(4), "TX Freq.");
        QCOMPARE(cells->cellAt(5, 2)->text(QAccessible::Name), "440.000000");
        QCOMPARE(cells->cellAt(5, 6)->text(QAccessible::Name), "L");
        QVERIFY(cells->cellAt(5, 0)->text(QAccessible::Description).contains("Outside"));
        QVERIFY(cells->cellAt(4, 0)->text(QAccessible::Description).isEmpty());
        const QStringList before = Rows(d);
        // CUT clears the channels; the redraw keeps selection, current row and scroll.
        d->List()->setCurrentRow(12, QItemSelectionModel::NoUpdate);
        QScrollBar* bar = d->List()->verticalScrollBar();
        bar->setValue(bar->maximum());
        const int top = bar->value();
        Select(d, {2, 5});
        MenuItem("&EDIT", "CU&T")->trigger();
        QVERIFY(d->List()->item(2)->isSelected());
        QVERIFY(d->List()->item(5)->isSelected());
        QCOMPARE(bar->value(), top);
        QCOMPARE(d->List()->currentRow() + d->myDevice().NowCHNum, 24);
        QVERIFY(Rows(d)[2].contains("NONE")); // channel 5, out of band, is gone too
        QVERIFY(hint().isEmpty());
        frmDocument* other = FreshDocument();
        Select(other, {9});
        MenuItem("&EDIT", "&PASTE")->trigger();
        const QString pasted = Rows(other)[10];
        QCOMPARE(pasted.mid(6), before[5].mid(6));
        // The context menu offers the edit commands on the row under the pointer.
        const auto choose = [other](int row, const QString& item) {
            const std::unique_ptr<QMenu> menu(
                other->MakeContextMenu(other->List()->visualItemRect(other->List()->item(row)).center()));
            for (QAction* a : menu->actions())
                if (a->text() == item && a->isEnabled()) a->trigger();
            return Texts(menu->actions());
        };
        Select(other, {10});
        QCOMPARE(choose(10, "&COPY"),
                 QStringList({"EDIT C&HANNEL...", "", "CU&T", "&COPY", "&PASTE", "&DELETE", "", "&UNDO"}));
        choose(10, "&DELETE");
        QVERIFY(Rows(other)[10].contains("NONE"));
        choose(10, "&UNDO");
        Select(other, {7});
        choose(7, "&PASTE");
        QCOMPARE(Rows(other)[10], pasted);
        QCOMPARE(Rows(other)[7].mid(6), pasted.mid(6));
        QVERIFY2(hint().endsWith(": channels 7, 10"), qPrintable(hint()));
        choose(12, "EDIT C&HANNEL...");
        QVERIFY(Form_Keyin_CH::Open());
        QCOMPARE(Form_Keyin_CH::Open()->windowTitle(), "Channel 12");
        main->OpenChannelFilePath(tableFile("low.KQ", 12, 120.0));
        QVERIFY(hint().endsWith(": channel 12"));
        // The table window shows whole labels for every model, and grows with its frame.
        main->ActivateDocument(d);
        for (int model = 0; model < 4; ++model) {
            ApplySystemOption(d->myDevice(), model);
            d->UpdateHomePage();
            for (QLabel* label : d->findChildren<QLabel*>()) {
                QCOMPARE_GE(label->width(), label->sizeHint().width());
                QCOMPARE_GE(label->height(), label->fontMetrics().height());
            }
        }
        QMdiSubWindow* sub = main->mdiArea()->activeSubWindow();
        const QSize list = d->List()->size();
        sub->showMaximized();
        QCOMPARE(d->List()->width() - list.width(), d->width() - Twips(6800));
        QCOMPARE_GT(d->List()->height(), list.height());
        // A table beyond the area's edge is reached by scrolling.
        sub->showNormal();
        sub->move(main->mdiArea()->width(), main->mdiArea()->height());
        Settle();
        QCOMPARE_GT(main->mdiArea()->horizontalScrollBar()->maximum(), 0);
        QCOMPARE_GT(main->mdiArea()->verticalScrollBar()->maximum(), 0);
    }

    void unsavedChangesAreAskedAboutBeforeAnyTableCloses() {
        // A table edited back to what was saved is clean, however it got there.
        frmDocument* d = FreshDocument();
        editChannel(d, 3, "150");
        Select(d, {3});
        MenuItem("&EDIT", "&DELETE")->trigger();
        QVERIFY(!d->isWindowModified());
        QVERIFY(!d->IsModified());
        QCOMPARE(d->UndoStack()->count(), 2);
        // EXIT asks about every changed table before closing any: Cancel at the second keeps all three.
        frmDocument* clean = FreshDocument();
        frmDocument* other = FreshDocument();
        editChannel(d, 1, "150");
        editChannel(other, 2, "151");
        QStringList asked;
        {
            ModalAnswer<QMessageBox> answer([&asked](QMessageBox* box) {
                asked << box->text();
                box->button(asked.size() == 1 ? QMessageBox::Discard : QMessageBox::Cancel)->click();
            });
            QVERIFY(!main->close());
        }
        QCOMPARE(asked, QStringList({"Save changes to " + d->Caption() + "?", "Save changes to " + other->Caption() + "?"}));
        // All three stay, and the table asked about is shown.
        QCOMPARE(main->Documents(), QList<frmDocument*>({d, clean, other}));
        QCOMPARE(main->ActiveDocument(), other);
        // SAVE asks before it overwrites what another program wrote since; the caption names the file.
        const QString path = dir.filePath("asked.KQ");
        QVERIFY(d->File().SaveTo(path));
        editChannel(d, 7, "155");
        main->ActivateDocument(d);
        QCOMPARE(StatusField("Label_Table"), path);
        const QByteArray theirs = Bytes(tableFile("asked.KQ", 9, 160.0));
        for (QMessageBox::StandardButton button : {QMessageBox::Cancel, QMessageBox::Save}) {
            BoxAnswer box(button);
            QCOMPARE(d->File().Save(), button == QMessageBox::Save);
            QVERIFY(box.text.contains("changed on disk"));
            QCOMPARE(Bytes(path) == theirs, button == QMessageBox::Cancel);
        }
        // Save on closing a window with a file name writes the file, then closes.
        editChannel(d, 8, "156");
        QPointer<QWidget> sub = d->parentWidget();
        BoxAnswer save(QMessageBox::Save);
        QVERIFY(sub->close());
        Settle();
        QVERIFY(sub.isNull());
        QCOMPARE(save.count, 1);
        const QStringList saved = Rows(main->OpenChannelFilePath(path));
        QVERIFY(saved[7].contains("155.000000"));
        QVERIFY(saved[8].contains("156.000000"));
    }

    void busyTableRefusesOnlyASecondTransferAndClosing() {
        frmDocument* idle = FreshDocument();
        frmDocument* d = FreshDocument();
        const QList<QAction*> transfers = {MenuItem("&DEVICE", "&UPLOAD"), MenuItem("&DEVICE", "&DOWNLOAD")};
        const QList<QAction*> others = {MenuItem("&EDIT", "CU&T"),      MenuItem("&EDIT", "&PASTE"),
                                        MenuItem("&EDIT", "AUTO&FREQ"), MenuItem("&OPTION", "C&HANNEL"),
                                        MenuItem("&EDIT", "&COPY"),     MenuItem("&FILE", "&SAVE"),
                                        MenuItem("&FILE", "&PRINT"),    MenuItem("&DEVICE", "&PORTS...")};
        Form_Keyin_CH* edit = editRow(d, 1, "146.0125");
        auto enabled = [](const QList<QAction*>& actions) {
            return std::count_if(actions.begin(), actions.end(), [](QAction* a) { return a->isEnabled(); });
        };
        d->SetBusy(true);
        QCOMPARE(enabled(transfers), 0);
        QCOMPARE(enabled(others), others.size());
        BoxAnswer ok(QMessageBox::Ok);
        QVERIFY(!d->parentWidget()->close());
        main->ActivateDocument(idle); // another table's transfer does not matter
        QCOMPARE(enabled(transfers), transfers.size());
        // The transfer has its own copy: an edit meanwhile is the table's. OK writes the channel in its caption
        // into the table it was opened on: neither a row clicked since nor the active table takes it.
        d->List()->setCurrentRow(5);
        idle->List()->setCurrentRow(7);
        QTest::mouseClick(edit->Command_OK, Qt::LeftButton);
        QCOMPARE(ok.count, 1);
        QVERIFY(ok.text.contains("transfer"));
        QCOMPARE(d->myDevice().TheRxFreq(1), 146.0125);
        QCOMPARE(d->myDevice().TheRxFreq(5) + idle->myDevice().TheRxFreq(7), 0.0);
        QVERIFY(!idle->IsModified());
        main->ActivateDocument(d);
        d->SetBusy(false);
        QCOMPARE(enabled(transfers), transfers.size());
        BoxAnswer discard(QMessageBox::Discard);
        QVERIFY(d->parentWidget()->close());
    }

    void reportPrintsToPdfAndPreviewsAsPrintWould() {
        QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "pdftotext (poppler-utils) is needed");
        frmDocument* d = FreshDocument();
        editChannel(d, 10, "150.0125");
        QVERIFY(QDir(dir.path()).mkpath("tables"));
        QVERIFY(d->File().SaveTo(dir.filePath("tables/t.KQ")));
        const QStringList lines = TablePrint::FillReport(*d);
        QString folder;
        { // the dialog starts beside the table's file; a name typed without .pdf gets it
            ModalAnswer<QFileDialog> name([&](QFileDialog* f) {
                folder = f->directory().absolutePath();
                typeFileName(f, dir.filePath("report"));
            });
            MenuItem("&FILE", "PRINT TO P&DF...")->trigger();
        }
        QCOMPARE(folder + " " + main->statusBar()->currentMessage(),
                 dir.filePath("tables") + " Printed to " + dir.filePath("report.pdf"));
        const auto pdftotext = [pdf = dir.filePath("report.pdf")](const QString& option) {
            QProcess p;
            p.start("pdftotext", {option, pdf, "-"});
            return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
        };
        // The layout's spacing is the PDF's own; the words and their order are the report's.
        QCOMPARE(pdftotext("-layout").simplified(), lines.join(' ').simplified());
        // Every word at least 15 mm (42.5 pt) from the page's left edge.
        double left = 1e9;
        for (const auto& m : QRegularExpression(R"re(<word xMin="([0-9.]+)")re").globalMatch(pdftotext("-bbox")))
            left = std::min(left, m.captured(1).toDouble());
        QCOMPARE_GE(left, 42.5);
        QCOMPARE_LT(left, 60);
        // The preview shows the same pages; a set-up choice carries over.
        main->Printer().setPageOrientation(QPageLayout::Landscape);
        QString shown;
        ModalAnswer<QPrintPreviewDialog> look([&shown](QPrintPreviewDialog* p) {
            auto* preview = p->findChild<QPrintPreviewWidget*>();
            shown = QString("%1 %2").arg(preview->pageCount()).arg(preview->orientation() == QPageLayout::Landscape);
            p->reject();
        });
        MenuItem("&FILE", "PRINT PRE&VIEW")->trigger();
        QCOMPARE(shown, QString("1 1"));
        // The printer's page keeps equal side margins of at least 15 mm.
        const QMarginsF margins = main->Printer().pageLayout().margins(QPageLayout::Millimeter);
        QCOMPARE_GE(margins.left(), 15);
        QCOMPARE(margins.left(), margins.right());
        QCOMPARE_GE(margins.top(), 15);
    }

    void readmeViewerShowsTheFileLineByLine() {
        // Either line end, a blank line and a last line without one all read as lines.
        bool read = false;
        QCOMPARE(Form_Readme::ReadmeText(writeFile("r.txt", "a\r\n\nno end"), &read), QString("a\r\n\r\nno end\r\n"));
        QVERIFY(read);
        QVERIFY(Form_Readme::ReadmeText(dir.filePath("none.txt"), &read).isEmpty());
        QVERIFY(!read);
        QFile own(Form_Readme::ReadmePath());
        QVERIFY2(own.open(QIODevice::ReadOnly | QIODevice::Text), "KQreadme.txt must lie next to the program");
        MenuItem("&HELP", "&README")->trigger(); // from the main window's own HELP
        Form_Readme* r = Form_Readme::Instance();
        QVERIFY(r);
        QCOMPARE(r->Text_Readme()->toPlainText(), QString::fromUtf8(own.readAll()));
        r->close();
        Settle();
        QVERIFY(!Form_Readme::Instance());
        // HELP > USER GUIDE shows the guide beside the program, its Markdown rendered.
        QFile guide(Form_Guide::GuidePath());
        QVERIFY2(guide.open(QIODevice::ReadOnly | QIODevice::Text), "guide.md must lie next to the program");
        const QString heading = QString::fromUtf8(guide.readLine()).trimmed();
        // Both windows open wholly on the screen, also from a main window near its corner.
        main->move(main->screen()->availableGeometry().bottomRight() - QPoint(200, 150));
        MenuItem("&HELP", "&USER GUIDE")->trigger();
        MenuItem("&HELP", "&README")->trigger();
        for (QWidget* w : std::initializer_list<QWidget*>{Form_Guide::Instance(), Form_Readme::Instance()})
            QVERIFY2(main->screen()->availableGeometry().contains(w->frameGeometry()), qPrintable(w->windowTitle()));
        Form_Readme::Instance()->close();
        main->move(0, 0);
        QVERIFY(heading.startsWith("# "));
        QVERIFY(Form_Guide::Instance());
        QVERIFY(Form_Guide::Instance()->Text_Guide()->toPlainText().startsWith(heading.mid(2)));
        Form_Guide::Instance()->close();
    }

    void channelDialogOpensOnItsRowWalksWithEnterAndWritesOnOk() {
        frmDocument* d = FreshDocument();
        // A double click, Enter on the list and OPTION > CHANNEL open it on the current row;
        // on an empty channel OK (any key on it) closes without a change.
        const std::function<void()> openers[] = {[d] { emit d->List()->itemDoubleClicked(d->List()->currentItem()); },
                                                 [d] { QTest::keyClick(d->List(), Qt::Key_Return); },
                                                 [] { MenuItem("&OPTION", "C&HANNEL")->trigger(); }};
        int row = 4;
        for (const auto& open : openers) {
            d->List()->setCurrentRow(++row);
            open();
            QVERIFY(Form_Keyin_CH::Open());
            QCOMPARE(Form_Keyin_CH::Open()->windowTitle(), QString("Channel %1").arg(row));
            QTest::keyClick(Form_Keyin_CH::Open()->Command_OK, Qt::Key_X);
            Settle();
            QVERIFY(!Form_Keyin_CH::Open());
            QVERIFY(!d->IsModified());
        }
        ClassKQxx53 stored;
        stored.TheRxCHSpace(5, 1); // a stored 1 shows as 25KHz
        d->LoadDevice(stored);
        Form_Keyin_CH* dlg = editRow(d, 5);
        QVERIFY(dlg);
        QVERIFY(QTest::qWaitForWindowExposed(dlg));
        QCOMPARE(dlg->minimumSize(), dlg->maximumSize());
        QVERIFY(!(dlg->windowHandle()->flags() & Qt::WindowMinMaxButtonsHint));
        QVERIFY(dlg->Option_RxCH_Space_25k->isChecked());
        QVERIFY(dlg->Option_RFPower_Low->isChecked());
        QCOMPARE(dlg->focusWidget(), dlg->Text_RxFreq);
        // The focus shows on an option and on OK, which then differs from the default OK.
        QVERIFY(dlg->Command_OK->isDefault());
        for (QWidget* w : std::initializer_list<QWidget*>{dlg->Option_RFPower_Low, dlg->Command_OK}) {
            const QImage before = w->grab().toImage();
            w->setFocus();
            QVERIFY2(w->grab().toImage() != before, w->metaObject()->className());
        }
        dlg->Text_RxFreq->setFocus();
        // With Tx=Rx Enter skips the transmit controls, and so the options not chosen.
        dlg->Check_RxTx->setFocus();
        QTest::keyClick(dlg->Check_RxTx, Qt::Key_Space);
        QVERIFY(!dlg->Text_TxFreq->isEnabled());
        QVERIFY(!dlg->Frame_TxCHSpace->isEnabled());
        const QList<QWidget*> walk = {dlg->Check_RxTx, dlg->Text_RxFreq, dlg->Option_RxCH_Space_25k,
                                      dlg->Option_RFPower_Low, dlg->Command_OK};
        for (int i = 0; i + 1 < walk.size(); ++i) {
            QTest::keyClick(walk[i], Qt::Key_Return);
            QCOMPARE(dlg->focusWidget(), walk[i + 1]);
        }
        BoxAnswer ok(QMessageBox::Ok); // a refused value keeps the dialog and the channel
        dlg->Text_RxFreq->clear(), QTest::keyClicks(dlg->Text_RxFreq, "1.2.3");
        QTest::mouseClick(dlg->Command_OK, Qt::LeftButton);
        QCOMPARE(ok.text, "A Invalid Frequency Value.");
        QCOMPARE(Form_Keyin_CH::Open(), dlg);
        QVERIFY(!d->IsModified());
        dlg->Text_RxFreq->clear(), QTest::keyClicks(dlg->Text_RxFreq, "150,0125");
        dlg->Option_RFPower_High->setChecked(true);
        QTest::mouseClick(dlg->Command_OK, Qt::LeftButton);
        Settle();
        QVERIFY(!Form_Keyin_CH::Open());
        QVERIFY(d->IsModified());
        QCOMPARE(Rows(d)[5], QString("5   5  150.012500  25.0K    150.012500  25.0K    H  "));
        // A model code without an item: nothing selected, OK waits for a choice.
        d->myDevice().Model(9);
        MenuItem("&OPTION", "S&YSTEM")->trigger();
        Form_Option_System* system = Form_Option_System::Open();
        QVERIFY(system->Combo_Model->placeholderText().contains("9"));
        QVERIFY(!system->Command_Yes->isEnabled());
        // The table's dialogs close with its window.
        d->OpenAutoFreq();
        QVERIFY(editRow(d, 1));
        QVERIFY(Form_AutoFreq::Open());
        QVERIFY(Form_Option_System::Open());
        BoxAnswer discard(QMessageBox::Discard);
        d->parentWidget()->close();
        Settle();
        QVERIFY(!Form_Keyin_CH::Open());
        QVERIFY(!Form_AutoFreq::Open());
        QVERIFY(!Form_Option_System::Open());
    }

    void modelQuestionThenDownloadThenUploadWhileTheTableIsUsed() {
        VirtualRadio radio(*main, {}, 3);
        frmDocument* d = table(16);
        const QString file = dir.filePath("during.KQ"), csv = dir.filePath("during.csv");
        QVERIFY(d->File().SaveTo(file));
        const QStringList rows = Rows(d);
        // A transfer has its own copy of the table: saving, copying, exporting and row clicks meanwhile never mix with it.
        frmDocument* busy = d;
        PokeGate pokes;
        radio.radios.Line().onSend = [&pokes](const std::string&) { pokes.Pass(); };
        QTimer poke;
        connect(&poke, &QTimer::timeout, [&] {
            if (!busy->IsBusy()) return;
            pokes.Poke();
            const int row = pokes.Count() % 16;
            busy->List()->setCurrentRow(row);
            Select(busy, {row});
            busy->CopyChannels();
            QVERIFY(busy->File().Save());
            QVERIFY(TableCsv::ExportTo(*busy, csv, CsvLayout::Kq));
        });
        poke.start(3);
        QList<QImage> marks; // the result's failure, then success mark
        for (QMessageBox::StandardButton answer : {QMessageBox::Cancel, QMessageBox::Ok}) {
            BoxAnswer box(answer);
            pokes.Arm();
            const auto outcome = Finish(Form_Download::Load(*d)).value().outcome;
            QCOMPARE(box.count, 1);
            QCOMPARE(box.text, "Model Type Unmatch!\r\nOverwrite ?");
            QCOMPARE(box.detail, QString("The radio is a KQ-0153 (IF +21.4 MHz); this table is for a KQ-0453 (IF -45 MHz)."));
            QCOMPARE(outcome, answer == QMessageBox::Ok ? Outcome::Done : Outcome::ModelDeclined);
            marks << main->findChild<QLabel*>("Label_TransferIcon")->pixmap().toImage();
        }
        const int duringDownload = pokes.Count();
        QCOMPARE(Rows(d), rows);
        QCOMPARE(Bytes(file), QByteArray::fromStdString(ChannelFileText(d->myDevice())));
        // The result stays, whatever the status bar shows meanwhile, until the next edit.
        main->statusBar()->showMessage("Exported x.csv.");
        QCOMPARE(status(), "Wrote and verified 64 words on COM1 (" + radio.device + "); backup kept");
        QVERIFY(!marks[0].isNull());
        QVERIFY(!marks[1].isNull());
        QCOMPARE_NE(marks[0], marks[1]);
        QCOMPARE(main->findChild<QLabel*>("Label_TransferIcon")->accessibleName(), QString("Transfer succeeded"));
        // The result is the table's: another table shows none, and coming back shows it again.
        frmDocument* other = FreshDocument();
        QVERIFY(status().isEmpty());
        QVERIFY(main->findChild<QLabel*>("Label_TransferIcon")->isHidden());
        main->ActivateDocument(d);
        QVERIFY(status().startsWith("Wrote and verified"));
        QVERIFY(other->TransferResultText().isEmpty());
        editChannel(d, 2, "150");
        QCOMPARE(status(), QString());
        frmDocument* back = busy = FreshDocument();
        const QStringList fresh = Rows(back);
        QVERIFY(back->File().SaveTo(dir.filePath("back.KQ")));
        pokes.Arm();
        QCOMPARE(Finish(Form_Upload::Load(*back)).value().outcome, Outcome::Done);
        QCOMPARE_GT(duringDownload, 0);
        QCOMPARE_GT(pokes.Count(), duringDownload);
        QCOMPARE(back->UndoStack()->count(), 1); // the upload is one step
        QVERIFY2(status().contains(radio.device), qPrintable(status()));
        back->Undo();
        QCOMPARE(Rows(back), fresh);
        back->Redo();
        // The radio took the table's model with it.
        QCOMPARE(Rows(back), rows);
        QCOMPARE(back->myDevice().Model(), d->myDevice().Model());
        QVERIFY(back->IsModified());
        QVERIFY(!back->IsBusy());
        QCOMPARE(Rows(main->OpenChannelFilePath(radio.save(dir.filePath("written.KQ")))), rows);
    }

    void failuresSayWhatHappened() {
        // The box keeps the short text, the status bar tells the details.
        for (const auto& [badId, upload, box, details] :
             {std::tuple<bool, bool, QString, QString>{true, true, "EEPROM must be initiated!", "0xC501"},
              {false, false, " ComPort Error! ", "No radio answered"}}) {
            RadioBehaviour b;
            b.noProbe = !badId;
            VirtualRadio radio(*main, b, 2, badId);
            frmDocument* d = table(4);
            const QStringList before = Rows(d);
            BoxAnswer ok(QMessageBox::Ok);
            QVERIFY(Finish(upload ? Form_Upload::Load(*d) : Form_Download::Load(*d)));
            QCOMPARE(ok.text, box);
            // Centred on the program, wide enough for its title, no minimise or maximise.
            const int title = QFontMetrics(main->font()).horizontalAdvance(QGuiApplication::applicationDisplayName());
            QCOMPARE_LE((ok.shown.center() - main->frameGeometry().center()).manhattanLength(), 2);
            QCOMPARE_GT(ok.shown.width(), title + 40);
            QVERIFY(!(ok.flags & Qt::WindowMinMaxButtonsHint));
            QVERIFY2(status().contains(details), qPrintable(status()));
            QCOMPARE(Rows(d), before);
            QVERIFY(!d->IsBusy());
            QCOMPARE(ok.detail, status()); // the details under the box's text
            // The link log of the failure is kept, saved as it is, and replays to the same end.
            QVERIFY(MenuItem("&DEVICE", "SAVE LINK &LOG...")->isEnabled());
            QVERIFY(main->SaveLinkLogTo(dir.filePath("link.log")));
            QCOMPARE(Bytes(dir.filePath("link.log")), main->LinkLog());
            const LinkLog log = ParseLinkLog(main->LinkLog().toStdString());
            QVERIFY2(ReplayLinkLog(log).SameOutcome(log), qPrintable(main->LinkLog()));
            QVERIFY(log.outcome != "Done");
        }
        // Channels the radio cannot use are listed before anything is written; No (the default) writes nothing.
        RadioBehaviour silent;
        silent.noProbe = true;
        VirtualRadio radio(*main, silent);
        frmDocument* d = table(2);
        editChannel(d, 1, "440");
        QStringList asked;
        for (const bool yes : {false, true}) {
            ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
                QAbstractButton* no = box->button(QMessageBox::No);
                asked << box->text() + " " + box->informativeText() + (no && box->defaultButton() != no ? "!" : "");
                (no ? box->button(yes ? QMessageBox::Yes : QMessageBox::No) : box->button(QMessageBox::Ok))->click();
            });
            QCOMPARE(Finish(Form_Download::Load(*d)).has_value(), yes);
        }
        QCOMPARE(asked.size(), 3); // the question twice, then the failure's box
        QCOMPARE(asked[1], asked[0]);
        QVERIFY2(asked[0].startsWith("Channels outside the radio's band (134 to 175 MHz):"), qPrintable(asked[0]));
        QVERIFY2(asked[0].contains("channel 1: RX 440 MHz (outside), TX 440 MHz (outside)"), qPrintable(asked[0]));
        QVERIFY2(!asked[0].contains("channel 0"), qPrintable(asked[0]));
        QVERIFY2(asked[0].endsWith("anyway?"), qPrintable(asked[0]));
        QVERIFY2(asked[2].startsWith(" ComPort Error! "), qPrintable(asked[2]));
    }

    // The real parts: the serial port, its worker and the emulator on a pseudo-terminal, in real time.
    void pacedDownloadOnAPortStopsOnCancel() {
        KqRadioProcess radio({"--model", "2"}, /*pace=*/true);
        useLink({radio.device.toStdString()}, /*fast=*/false);
        frmDocument* cancelled = table(1, 16); // a bar step per word
        QList<int> seen;
        QString secondStart;
        BoxAnswer ok(QMessageBox::Ok); // also a failure's box: no hang
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            TransferWindow* w = TransferWindow::Open();
            if (!w || !w->isVisible()) return;
            if (seen.isEmpty() || seen.last() != w->ProgressBar->value()) seen << w->ProgressBar->value();
            QVERIFY(!w->ProgressBar->accessibleName().isEmpty());
            if (w->ProgressBar->value() >= 5 && secondStart.isEmpty()) {
                Form_Upload::Load(*cancelled); // refused while this one runs
                secondStart = ok.text;
                w->close(); // the frame's close acts as CANCEL
            }
        });
        poll.start(5);
        QCOMPARE(Finish(Form_Download::Load(*cancelled)).value().outcome, Outcome::Cancelled);
        // Cancelled with words written: the box names the backup and offers RESTORE.
        QCOMPARE(ok.count, 2);
        QVERIFY2(secondStart.contains("transfer is running"), qPrintable(secondStart));
        QVERIFY(!cancelled->IsBusy());
        QVERIFY2(ok.text.contains("RESTORE writes it back"), qPrintable(ok.text));
        // The CANCEL is in the link log, and its replay is cancelled too. (In real time a CANCEL may land
        // while a burst goes out, which the log cannot order; where a replay cancels is proven in virtual time.)
        const LinkLog log = ParseLinkLog(main->LinkLog().toStdString());
        QVERIFY2(main->LinkLog().contains(" cancel\n"), qPrintable(main->LinkLog()));
        QVERIFY(ReplayLinkLog(log).SameOutcome(log));
        // The bar is cleared when the window opens, then rises, and stops short.
        QCOMPARE_GE(seen.size(), 3);
        QCOMPARE_LE(seen.first(), 1);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QCOMPARE_LT(seen.last(), 15);
        // The port check in DEVICE > PORTS....
        Form_Ports* ports = Form_Ports::ShowPorts(*main);
        QVERIFY2(ports->Text_Check->toPlainText().startsWith("COM1  " + radio.device + ": ok\n"),
                 qPrintable(ports->Text_Check->toPlainText()));
        ports->close();
    }

    void backupsRestoreAndANeverInitiatedRadio() {
        const auto backups = [] { return RadioBackups(BackupFolder()).List().size(); };
        const size_t before = backups();
        {
            VirtualRadio radio(*main, {}, 2, /*badId=*/true);
            frmDocument* d = table(16);
            // Asked with No as the default: the default declines, Yes writes.
            for (auto button : {QMessageBox::No, QMessageBox::Yes}) {
                QStringList texts;
                bool noIsDefault = false;
                ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
                    texts << box->text();
                    if (box->button(QMessageBox::No)) {
                        noIsDefault = box->defaultButton() == box->button(QMessageBox::No);
                        box->button(button)->click();
                    } else {
                        box->button(QMessageBox::Ok)->click();
                    }
                });
                const Outcome out = Finish(Form_Download::Load(*d)).value().outcome;
                QVERIFY(noIsDefault);
                QVERIFY2(texts[0].startsWith("EEPROM must be initiated!\r\nThe radio's word 0 is 0xC501"), qPrintable(texts[0]));
                QCOMPARE(out, button == QMessageBox::Yes ? Outcome::Done : Outcome::NotInitiated);
                QCOMPARE(backups(), before + (button == QMessageBox::Yes ? 1 : 0));
            }
            // Without the setting (kept for later runs) no backup is taken.
            MenuItem("&DEVICE", "&BACK UP BEFORE WRITING")->trigger();
            QVERIFY(!main->BackupBeforeWriting());
            QVERIFY(!QSettings().value("link/backupBeforeWriting").toBool());
            QCOMPARE(Finish(Form_Download::Load(*d)).value().outcome, Outcome::Done);
            QCOMPARE(backups(), before + 1);
            main->SetBackupBeforeWriting(true);
            // BACKUPS... lists it; OPEN shows it as a table, RESTORE writes it back word for word (after a backup).
            MenuItem("&DEVICE", "BAC&KUPS...")->trigger();
            Form_Backups* list = Form_Backups::Open();
            QVERIFY(list);
            QCOMPARE(list->List_Backups->topLevelItemCount(), int(before + 1));
            const QString backup = list->Chosen();
            QVERIFY2(backup.contains(QString::fromStdString("_KQ-0453_" + BackupPortName(radio.device.toStdString()))),
                     qPrintable(backup));
            list->Command_Open_Click();
            QCOMPARE(main->ActiveDocument()->Caption(), backup);
            list->Command_Restore_Click();
            QVERIFY(Finish(TransferWindow::Open()));
            QCOMPARE(list->List_Backups->topLevelItemCount(), int(before + 2));
            QVERIFY2(status().contains("backup"), qPrintable(status()));
            list->close();
            QCOMPARE(ChannelFileWords(Bytes(radio.save(dir.filePath("radio.KQ"))).toStdString(), "", 64),
                     ChannelFileWords(Bytes(backup).toStdString(), "", 64));
        }
        // A write that fails half-way offers RESTORE, which runs the DOWNLOAD flow with the backup.
        RadioBehaviour badReadback;
        badReadback.faults.push_back({5, WordFault::Kind::Wrong, true, 0, {}});
        VirtualRadio failing(*main, badReadback);
        frmDocument* d = table(16);
        QStringList boxes;
        ModalAnswer<QMessageBox> answer([&](QMessageBox* box) {
            boxes << box->text();
            QAbstractButton* restore = nullptr;
            for (QAbstractButton* b : box->buttons())
                if (b->text() == "RESTORE") restore = b;
            (boxes.size() == 1 && restore ? restore : box->button(QMessageBox::Ok))->click();
        });
        QCOMPARE(Finish(Form_Download::Load(*d)).value().outcome, Outcome::VerifyFailed);
        QCOMPARE(boxes.size(), 2);
        QVERIFY2(boxes[0].startsWith(" ComPort Error! "), qPrintable(boxes[0]));
        QVERIFY2(boxes[0].contains("RESTORE writes it back"), qPrintable(boxes[0]));
        QCOMPARE(backups(), before + 4); // the write's, and the restore's own
    }

    void everyChangeIsOneUndoStepAndTheTitleMarksUnsavedChanges() {
        frmDocument* d = FreshDocument();
        const auto onRow = [d](int row, const char* item) {
            return [=] { Select(d, {row}), MenuItem("&EDIT", item)->trigger(); };
        };
        // AUTOFREQ as typed: Enter walks its fields, then Rx=Tx and OK; or only Rx.
        const auto autoFreq = [](const QStringList& keys, bool onlyRx) {
            MenuItem("&EDIT", "AUTO&FREQ")->trigger();
            Form_AutoFreq* f = Form_AutoFreq::Open();
            QVERIFY(f);
            QVERIFY(QTest::qWaitForWindowExposed(f));
            QCOMPARE(f->focusWidget(), f->Text_StartCH);
            for (const QString& text : keys) QTest::keyClicks(f->focusWidget(), text + "\r");
            if (onlyRx) f->Option_OnlyRx->click(), f->Command_OK_Click();
        };
        const std::function<void()> commands[] = {
            [&] { autoFreq({"0", "15", "146.0125", "12.5", "", ""}, false); }, // all 16 channels
            [&] { autoFreq({"3", "3", "150", "25"}, true); },
            [d] { editChannel(d, 2, "150.5"); },
            onRow(2, "CU&T"),
            onRow(10, "&PASTE"),
            onRow(11, "&DELETE"),
            [] {
                MenuItem("&OPTION", "S&YSTEM")->trigger();
                Form_Option_System* dlg = Form_Option_System::Open();
                QCOMPARE(dlg->Combo_Model->currentText(), QString("KQ-0453    IF -45MHz"));
                dlg->Combo_Model->setCurrentIndex(3);
                QTest::mouseClick(dlg->Command_Yes, Qt::LeftButton);
            },
            [d] { d->myDevice().TheRxFreq(15, 160.0), d->MarkModified(); }, // as a read of the radio leaves it
        };
        const auto state = [d] { return Rows(d).join('\n') + d->LabelModel()->text() + " " + d->LabelRFIF()->text(); };
        QStringList states = {state()};
        for (const auto& run : commands) {
            run();
            Settle();
            states << state();
            QCOMPARE(d->UndoStack()->count(), states.size() - 1);
            QCOMPARE_NE(states.last(), states[states.size() - 2]);
            QVERIFY(d->isWindowModified());
            QVERIFY(d->IsModified());
            QVERIFY(!Form_AutoFreq::Open()); // closed by OK
            QVERIFY(!Form_Option_System::Open());
        }
        QVERIFY(states[1].contains("15  F  146.200000  12.5K    146.200000  12.5K    L  "));
        QVERIFY(states[2].contains("3   3  150.000000  12.5K    146.050000  12.5K    L  "));
        QVERIFY(states[7].endsWith("KQ-0153 21.4 MHz"));
        QCOMPARE(d->windowTitle(), d->Caption() + "[*]");
        // Changing nothing (deleting an empty row, a read of the same table) makes no step.
        onRow(2, "&DELETE")();
        d->MarkModified();
        QCOMPARE(d->UndoStack()->count(), states.size() - 1);
        // Undo walks back step by step to the new table, which needs no saving.
        main->activateWindow(); // from the dialogs, for the shortcuts
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        for (qsizetype i = states.size() - 2; i >= 0; --i) {
            QTest::keyClick(d->List(), Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(state(), states[i]);
        }
        QVERIFY(!d->isWindowModified());
        QVERIFY(!MenuItem("&EDIT", "&UNDO")->isEnabled());
        for (qsizetype i = 1; i < states.size(); ++i) {
            const bool y = i % 2;
            QTest::keyClick(d->List(), y ? Qt::Key_Y : Qt::Key_Z,
                            Qt::ControlModifier | (y ? Qt::NoModifier : Qt::ShiftModifier));
            QCOMPARE(state(), states[i]);
        }
        // A save is the new clean state: undoing from it marks the table again, redoing to it does not.
        QVERIFY(d->File().SaveTo(dir.filePath("undo.KQ")));
        QVERIFY(!d->isWindowModified());
        MenuItem("&EDIT", "&UNDO")->trigger();
        QVERIFY(d->isWindowModified());
        QVERIFY(d->IsModified());
        MenuItem("&EDIT", "&REDO")->trigger();
        QVERIFY(!d->isWindowModified());
        QVERIFY(!d->IsModified());
    }

    void marksKeepTheirTextReadableInLightAndDarkPalettes() {
        const QPalette light = QApplication::palette();
        QPalette dark(QColor(53, 53, 53), QColor(42, 42, 42)); // a dark Fusion palette: button, window
        for (auto [role, colour] : {std::pair{QPalette::Base, QColor(35, 35, 35)}, {QPalette::Text, QColor(Qt::white)},
                                    {QPalette::WindowText, QColor(Qt::white)}, {QPalette::ButtonText, QColor(Qt::white)}})
            dark.setColor(role, colour);
        QStringList figures;
        for (const QPalette& palette : {light, dark}) {
            QApplication::setPalette(palette);
            frmDocument* d = FreshDocument();
            editChannel(d, 5, "440");
            const double row = ContrastRatio(d->List()->item(5)->background().color(), palette.color(QPalette::Text));
            // The band field as drawn: its background inside the frame, against its text's colour.
            QLabel* band = main->findChild<QLabel*>("Label_BandHint");
            const QColor field = band->grab().toImage().pixelColor(2, 2);
            const double hint = ContrastRatio(field, band->palette().color(QPalette::WindowText));
            figures << QString("row %1:1, band field %2:1").arg(row, 0, 'f', 2).arg(hint, 0, 'f', 2);
            QCOMPARE_GE(row, 4.5);
            QCOMPARE_GE(hint, 4.5);
            QCOMPARE(band->palette().color(QPalette::WindowText), palette.color(QPalette::WindowText));
        }
        QApplication::setPalette(light);
        qInfo("contrast, light then dark palette: %s", qPrintable(figures.join("; ")));
    }

    // Open, edit channel 5, save and write the radio, answering every box, with keys alone.
    void theKeyboardAloneDoesTheWholeTask() {
        // The design's keys stay; the added ones clash with nothing in either menu bar.
        QMap<QString, QString> keys;
        const auto collect = [&keys] {
            for (QAction* menu : MainWindow()->menuBar()->actions())
                for (QAction* a : menu->menu()->actions())
                    for (const QKeySequence& k : a->shortcuts()) {
                        QVERIFY2(!keys.contains(k.toString()), qPrintable(k.toString()));
                        keys[k.toString()] = a->text();
                    }
        };
        cleanup(); // the main window's own menus
        SetOuterSizeTwips(main.get(), 10000, 8500); // the default size
        collect();
        QCOMPARE(keys.keys(), QStringList({"Ctrl+N", "Ctrl+O", "Ctrl+Q", "F1"}));
        keys.clear();
        const QString path = tableFile("keys.KQ", 1, 440.0);
        VirtualRadio radio(*main);
        const auto type = [](const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); };
        const auto press = [](Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow(), key, mods);
        };
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        {
            ModalAnswer<QFileDialog> open([&](QFileDialog* f) {
                if (QApplication::activeWindow() == f) type(path), press(Qt::Key_Return); // once the keys go to it
            });
            press(Qt::Key_O, Qt::ControlModifier);
        }
        frmDocument* d = main->ActiveDocument();
        main->activateWindow(); // a window manager's part when a dialog closes; offscreen has none
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        QCOMPARE(d->Caption(), path);
        QCOMPARE(QApplication::focusWidget(), d->List());
        collect();
        const QStringList added = {"Ctrl+Shift+S", "Ctrl+U", "Ctrl+D", "Ctrl+F", "Ctrl+M", "Ctrl+Shift+P", "F1"};
        for (const QString& k : added + QStringList({"Ctrl+Q", "Ctrl+S", "Ctrl+P", "Ctrl+Z", "Del"}))
            QVERIFY2(keys.contains(k), qPrintable(k));
        QCOMPARE(keys["Ctrl+Q"], QString("&CLOSE"));
        for (int i = 0; i < 5; ++i) press(Qt::Key_Down);
        press(Qt::Key_Return);
        Form_Keyin_CH* dlg = Form_Keyin_CH::Open();
        QVERIFY(dlg);
        QCOMPARE(dlg->windowTitle(), "Channel 5");
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg));
        QTRY_COMPARE(QApplication::focusWidget(), dlg->Text_RxFreq);
        // Tab follows the layout: the fields, Tx=Rx under them, the option groups, OK.
        type("150.0125");
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dlg->Text_TxFreq);
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dlg->Check_RxTx);
        press(Qt::Key_Space);
        press(Qt::Key_Tab);
        press(Qt::Key_Down); // 25KHz
        while (QApplication::focusWidget() != dlg->Command_OK && QApplication::focusWidget() != dlg->Command_Cancel) press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dlg->Command_OK);
        press(Qt::Key_Return);
        Settle();
        main->activateWindow();
        QVERIFY(!Form_Keyin_CH::Open());
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        QCOMPARE(Rows(d)[5], QString("5   5  150.012500  25.0K    150.012500  25.0K    L  "));
        press(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(main->statusBar()->currentMessage(), "Saved " + path);
        QVERIFY(!d->IsModified());
        // DOWNLOAD asks about channel 1, outside the band: Alt+Y writes it.
        QString asked;
        ModalAnswer<QMessageBox> yes([&](QMessageBox* box) {
            if (QApplication::activeWindow() == box) asked = box->text(), press(Qt::Key_Y, Qt::AltModifier);
        });
        press(Qt::Key_D, Qt::ControlModifier);
        QVERIFY(asked.startsWith("Channels outside"));
        QVERIFY(Finish(TransferWindow::Open()));
        QCOMPARE(status(), "Wrote and verified 64 words on COM1 (" + radio.device + "); backup kept");
        // At the default size the result and the band field read whole; the caption gives way.
        Settle();
        for (const char* name : {"Label_Transfer", "Label_BandHint"}) {
            QLabel* field = main->findChild<QLabel*>(name);
            QVERIFY2(field->isVisible(), name);
            QCOMPARE_GE(field->width(), field->sizeHint().width());
        }
        QVERIFY(StatusField("Label_BandHint").endsWith(": channel 1"));
        QCOMPARE(Rows(main->OpenChannelFilePath(radio.save(dir.filePath("keys-radio.KQ")))), Rows(d));
    }

    void csvExportsEitherLayoutAndImportsAsOneStep() {
        frmDocument* d = FreshDocument();
        editChannel(d, 5, "146.52");
        const QString chirp = dir.filePath("chirp.txt"); // a suffix typed is kept
        ModalAnswer<QFileDialog> save([&chirp](QFileDialog* f) {
            f->selectNameFilter(f->nameFilters().value(1));
            typeFileName(f, chirp);
        });
        MenuItem("&FILE", "&EXPORT CSV...")->trigger();
        QVERIFY(Bytes(chirp).startsWith("Location,Name,Frequency,"));
        frmDocument* e = FreshDocument();
        const QStringList empty = Rows(e);
        QVERIFY(TableCsv::ImportFrom(*e, chirp));
        QCOMPARE(Rows(e), Rows(d));
        MenuItem("&EDIT", "&UNDO")->trigger();
        QCOMPARE(Rows(e), empty);
        QVERIFY(!e->IsModified());
        // Columns the radio cannot hold are named, the rest goes in.
        const QString head = "Location,Name,Frequency,Duplex,Offset,Mode,Power\n";
        {
            BoxAnswer ok(QMessageBox::Ok);
            QVERIFY(TableCsv::ImportFrom(*e, writeFile("in.csv", (head + "0,HOME,146.52,,0,FM,High\n").toUtf8())));
            QVERIFY(ok.text.contains("Name"));
            QVERIFY(Rows(e)[0].contains("146.520000"));
        }
        // Rows the radio cannot hold are listed, each with its row; the others go in on OK, nothing on Cancel.
        const QString mixed = writeFile("mixed.csv", (head + "1,,146.52,,0,FM,High\n16,,146.52,,0,FM,High\n"
                                                             "2,,50.0,,0,FM,High\n3,,147.0,,0,FM,Low\n").toUtf8());
        for (QMessageBox::StandardButton button : {QMessageBox::Cancel, QMessageBox::Ok}) {
            const QStringList rows = Rows(e);
            BoxAnswer box(button);
            QCOMPARE(TableCsv::ImportFrom(*e, mixed), button == QMessageBox::Ok);
            QCOMPARE(box.count, 1);
            QVERIFY(box.text.contains("row 3: "));
            QVERIFY(box.text.contains("row 4: "));
            QVERIFY(!box.text.contains("row 5"));
            QCOMPARE(Rows(e) != rows, button == QMessageBox::Ok);
        }
        QVERIFY(Rows(e)[1].contains("146.520000"));
        QVERIFY(Rows(e)[2].contains("NONE"));
        QVERIFY(Rows(e)[3].contains("147.000000"));
        // A file over the size a list can have is refused without reading it whole.
        BoxAnswer tooLarge(QMessageBox::Ok);
        QVERIFY(!TableCsv::ImportFrom(*e, writeFile("big.csv", QByteArray(MaxCsvBytes + 1, ','))));
        QVERIFY(tooLarge.text.contains("too large"));
        QCOMPARE(e->UndoStack()->count(), 2); // the imports after the undo, and no more
    }

    // The table's current channel: the device's and the list's views agree whoever moves it.
    void theCurrentChannelIsTheDocumentsAndTheListFollowsIt() {
        frmDocument* d = FreshDocument();
        const auto current = [](frmDocument* t) { return QPair<int, int>(t->myDevice().NowCHNum, t->List()->currentRow()); };
        d->List()->setCurrentRow(4);
        QCOMPARE(current(d), qMakePair(4, 4));
        // The auto fill ends on the last channel it filled, as it promises.
        d->OpenAutoFreq();
        Form_AutoFreq* fill = Form_AutoFreq::Open();
        for (const auto& [field, text] : {std::pair{fill->Text_StartCH, "3"}, {fill->Text_StopCH, "9"},
                                          {fill->Text_StartFreq, "146"}, {fill->Text_SpaceFreq, "25"}})
            field->setText(text);
        fill->Command_OK_Click();
        Settle();
        QCOMPARE(current(d), qMakePair(9, 9));
        QVERIFY(Rows(d)[9].contains("146.150000"));
        // Undo and redo change the table, not the row the user is on.
        d->List()->setCurrentRow(2);
        d->Undo();
        QCOMPARE(current(d), qMakePair(2, 2));
        QVERIFY(Rows(d)[9].contains("NONE"));
        d->Redo();
        QCOMPARE(current(d), qMakePair(2, 2));
        // A channel edit writes the channel it was opened on, not the one the user has moved to since.
        Form_Keyin_CH* edit = editRow(d, 1, "147.5");
        d->List()->setCurrentRow(12);
        edit->Command_OK_Click();
        Settle();
        QCOMPARE(current(d), qMakePair(12, 12));
        QVERIFY(Rows(d)[1].contains("147.500000"));
        QVERIFY(Rows(d)[12].contains("NONE"));
        // An imported table replaces the channels, not the current row.
        const QString csv = dir.filePath("current.csv");
        QVERIFY(TableCsv::ExportTo(*d, csv, CsvLayout::Kq));
        frmDocument* other = FreshDocument();
        other->SetCurrentChannel(14);
        QVERIFY(TableCsv::ImportFrom(*other, csv));
        QCOMPARE(current(other), qMakePair(14, 14));
        QVERIFY(Rows(other)[1].contains("147.500000"));
    }

    void theTableTellsTheMainWindowBySignals() {
        frmDocument* d = FreshDocument();
        QSignalSpy told(d, &frmDocument::statusChanged);
        d->SetCaption("Renamed");
        QCOMPARE(told.count(), 1);
        QCOMPARE(StatusField("Label_Table"), QString("Renamed"));
        d->SetTransferResult(false, "Read failed.");
        QCOMPARE(told.count(), 2);
        QCOMPARE(status(), QString("Read failed."));
        // An edit changes the title's mark and the band hint, and clears the transfer result.
        d->myDevice().TheRxFreq(3, 440.0);
        d->MarkModified();
        QCOMPARE_GE(told.count(), 3);
        QVERIFY(d->isWindowModified());
        QVERIFY(StatusField("Label_BandHint").endsWith("channel 3"));
        QCOMPARE(status(), QString());
    }

    // Each such window: asked for twice, the one open is brought back; closed and asked for at once (its
    // deletion still pending), a new one shows and stays.
    void eachSingleWindowComesBackAndAReopenedOneStays() {
        frmDocument* d = FreshDocument();
        const std::vector<std::pair<const char*, std::function<QWidget*()>>> kinds = {
            {"ports", [this] { return Form_Ports::ShowPorts(*main); }},
            {"backups", [d] { return Form_Backups::ShowBackups(*d); }},
            {"guide", [this] { return Form_Guide::ShowGuide(*main); }},
            {"readme", [this] { return Form_Readme::ShowReadme(*main); }},
            {"channel edit", [d] { return Form_Keyin_CH::Load(*d); }},
            {"auto fill", [d] { return Form_AutoFreq::Load(*d); }},
        };
        for (const auto& [name, show] : kinds) {
            QWidget* first = show();
            QVERIFY2(first->isVisible(), name);
            QVERIFY2(show() == first, name);
            first->close();
            QPointer<QWidget> again = show();
            QVERIFY2(again != first, name);
            Settle();
            QVERIFY2(again, name);
            QVERIFY2(again->isVisible(), name);
            again->close();
            Settle();
        }
    }

    // The last test starts the program anew, without the shared window.
    void filesOpenFromTheCommandLineDropsAndTheRecentListAndChoicesAreKept() {
        main.reset();
        QSettings().clear(); // what the shared window kept on the way out
        const QString a = tableFile("a.KQ", 1, 146.0), b = tableFile("b.kq", 2, 147.0), c = tableFile("c.KQ", 3, 148.0);
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir.path()); // a name relative to where the program starts
        auto m = StartProgram(ParseProgramArgs({"kqprogrammer", a, "--port", "/dev/kqZ,/dev/kqY", "b.kq"}));
        QDir::setCurrent(cwd);
        // Placed by its frame, so the title bar above the inner area is on screen.
        QVERIFY(QTest::qWaitForWindowExposed(m.get()));
        QCOMPARE(m->frameGeometry().topLeft(), QPoint(0, 0));
        QCOMPARE_GT(m->geometry().top(), 0);
        emit Menu("&WINDOW")->aboutToShow();
        QCOMPARE(Texts(Menu("&WINDOW")->actions()), QStringList({a, b}));
        QCOMPARE(m->Link().ports, (std::vector<std::string>{"/dev/kqZ", "/dev/kqY"}));
        // Of a drop only the channel files open.
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(writeFile("notes.txt", "x")), QUrl::fromLocalFile(c)});
        QDragEnterEvent enter(QPoint(9, 9), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m.get(), &enter);
        QDropEvent drop(QPointF(9, 9), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m.get(), &drop);
        QVERIFY(enter.isAccepted());
        QVERIFY(drop.isAccepted());
        QCOMPARE(m->Documents().size(), 3);
        QCOMPARE(m->ActiveDocument()->Caption(), c);
        // Recent files: most recent first, each once, at most 8.
        QMenu* recent = MenuItem("&FILE", "RECENT &FILES")->menu();
        QCOMPARE(Texts(recent->actions()), QStringList({"&1 " + c, "&2 " + b, "&3 " + a}));
        for (int i = 0; i < 9; ++i) QVERIFY(m->ActiveDocument()->File().SaveTo(dir.filePath(QString("s%1.KQ").arg(i))));
        QCOMPARE(recent->actions().size(), 8);
        QCOMPARE(recent->actions()[0]->text(), "&1 " + dir.filePath("s8.KQ"));
        // A recent file deleted meanwhile leaves the list, with a message, and opens nothing.
        QVERIFY(QFile::remove(dir.filePath("s7.KQ")));
        {
            BoxAnswer ok(QMessageBox::Ok);
            recent->actions()[1]->trigger();
            QVERIFY(ok.text.contains(dir.filePath("s7.KQ")));
        }
        QVERIFY(!m->RecentFiles().contains(dir.filePath("s7.KQ")));
        QCOMPARE(m->Documents().size(), 3);
        // The file dialogs start where the last file was chosen; OPEN also lists all files.
        // A dialog that leaves the suffix to the program: the completed name is asked about before it is replaced.
        {
            ModalAnswer<QFileDialog> platformDialog([this](QFileDialog* f) {
                f->setDefaultSuffix("");
                typeFileName(f, dir.filePath("s1"));
            });
            BoxAnswer no(QMessageBox::No);
            MenuItem("&FILE", "SAVE &AS")->trigger();
            QVERIFY(no.text.contains(dir.filePath("s1.KQ")));
            QCOMPARE(m->ActiveDocument()->Caption(), dir.filePath("s8.KQ"));
        }
        // SAVE AS adds .KQ to a name typed without it, and the status bar names the new caption.
        QStringList seen;
        ModalAnswer<QFileDialog> look([&](QFileDialog* f) {
            seen << f->nameFilters() << f->directory().absolutePath();
            typeFileName(f, f->acceptMode() == QFileDialog::AcceptOpen ? "\"s1.KQ\" \"saved.KQ\"" : dir.filePath("saved"));
        });
        MenuItem("&FILE", "SAVE &AS")->trigger();
        QCOMPARE(StatusField("Label_Table"), dir.filePath("saved.KQ"));
        // OPEN takes several files; one open already is not opened twice.
        MenuItem("&FILE", "&OPEN")->trigger();
        QCOMPARE(seen.mid(2), QStringList({"*.KQ", "All files (*)", dir.path()}));
        QCOMPARE(m->Documents().size(), 4);
        QCOMPARE(m->Documents()[3]->Caption(), dir.filePath("s1.KQ"));
        // What was chosen is kept for the next run.
        const QString port = writeFile("ttyFake", ""), gone = dir.filePath("ttyGone");
        m->setGeometry(120, 90, 700, 520);
        MenuItem("&DEVICE", "&FAST LINK")->trigger();
        MenuItem("&DEVICE", "&PORTS...")->trigger();
        Form_Ports* ports = Form_Ports::ShowPorts(*m);
        for (int i = 0; i < 4; ++i) ports->Combo_Port[i]->setCurrentText(i == 1 ? port : "");
        ports->Apply(); // a gap is kept, the blank end dropped
        QCOMPARE(m->Link().ports, (std::vector<std::string>{"", port.toStdString()}));
        ports->close();
        const QStringList recentFiles = m->RecentFiles();
        QVERIFY(m->close());
        m.reset();
        {
            frmMain again;
            again.NewDocument();
            QCOMPARE(again.geometry(), QRect(120, 90, 700, 520));
            QVERIFY(again.FastLink());
            QVERIFY(MenuItem("&DEVICE", "&FAST LINK")->isChecked());
            QCOMPARE(again.Link().ports, (std::vector<std::string>{"", port.toStdString()}));
            QCOMPARE(again.LastFolder(), dir.path());
            QCOMPARE(again.RecentFiles(), recentFiles);
            QCOMPARE(recentFiles.size(), 8);
            QVERIFY(again.statusBar()->currentMessage().isEmpty());
            again.SetPortChoice({port, gone});
            // Closed just before the program ends: its pending deletion must not call back into the gone main window.
            QVERIFY(again.NewDocument()->parentWidget()->close());
        }
        // A device that went is not searched silently in place of the system's ports.
        frmMain last;
        QVERIFY(last.statusBar()->currentMessage().contains(gone));
        QVERIFY(last.Link().ports.empty());
    }
};

QTEST_MAIN(TestWindows)
#include "test_Windows.moc"
