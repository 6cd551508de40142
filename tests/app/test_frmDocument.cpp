// The desktop program's windows, driven offscreen from its start-up on:
// numbering, menus, clipboard, files, unsaved changes, the busy state,
// printing and the read-me viewer.
#include "GuiTestSupport.h"

#include "ChannelFile.h"
#include "SystemOption.h"
#include "Form_Readme.h"
#include "KqSerialPort.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kq;
using namespace kqtest;

class TestWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<frmMain> main;
    QTemporaryDir dir;

    static void setChannel(frmDocument* d, int16_t ch, double rx, double tx) {
        d->myDevice().TheRxFreq(ch, rx);
        d->myDevice().TheTxFreq(ch, tx);
        d->UpdateHomePage();
    }

private slots:
    void initTestCase() { main = StartProgram({"kqprogrammer", "--port", "/dev/kqA,/dev/kqB"}); }
    void cleanupTestCase() { KqSerialPort::SetPortMap({}); }
    void cleanup() { CloseAll(); }

    void startsWithUntitled1AndThePortsGiven() {
        QCOMPARE(KqSerialPort::PortMap().mid(0, 2), QStringList({"/dev/kqA", "/dev/kqB"}));
        QVERIFY(main->isVisible());
        QCOMPARE(main->Documents().size(), 1);
        frmDocument* d = main->ActiveDocument();
        QCOMPARE(d->Caption() + " " + Rows(d)[10], QString("Untitled1 10  A     NONE     12.5K       NONE     12.5K    L  "));
        QCOMPARE(d->LabelModel()->text() + d->LabelRFIF()->text() + d->LabelReferOsc()->text(),
                 QString("KQ-0453-45 MHz12.8 MHz"));
        QCOMPARE(d->List()->currentRow() + d->myDevice().NowCHNum, 0);
        QCOMPARE(MenuTitles(), QStringList({"&FILE", "&EDIT", "&OPTION", "&DEVICE", "&WINDOW", "&HELP"}));
    }

    void numbersAreNeverReusedAndWindowsCascade() {
        // With every table closed the main window's own menus are shown, and work.
        QCOMPARE(MenuTitles(), QStringList({"&FILE", "&HELP"}));
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
        // A file opened takes the next number too; the caption is its path.
        const QString path = dir.filePath("numbering.KQ");
        SaveChannelFile(b->myDevice(), path.toStdString());
        QCOMPARE(main->OpenChannelFilePath(path)->Caption(), path);
        QCOMPARE(main->NewDocument()->Caption(), QString("Untitled%1").arg(base + 5));
    }

    void windowMenuListsTheTablesAndActivatesTheOneChosen() {
        const QList<frmDocument*> docs = {main->NewDocument(), main->NewDocument(), main->NewDocument()};
        emit Menu("&WINDOW")->aboutToShow();
        const QList<QAction*> items = Menu("&WINDOW")->actions();
        QCOMPARE(items.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(items[i]->text(), docs[i]->Caption());
            QCOMPARE(items[i]->isChecked(), i == 2);
        }
        items[0]->trigger();
        QCOMPARE(main->ActiveDocument(), docs[0]);
    }

    void clipboardIsSharedAndRedrawsKeepTheView() {
        frmDocument* d = FreshDocument();
        setChannel(d, 2, 150.0125, 145.5);
        setChannel(d, 5, 160.0, 160.005);
        const QStringList before = Rows(d);
        // CUT clears the channels; the redraw keeps selection, current row and scroll.
        d->List()->setCurrentRow(12, QItemSelectionModel::NoUpdate);
        QScrollBar* bar = d->List()->verticalScrollBar();
        bar->setValue(bar->maximum());
        const int top = bar->value();
        Select(d, {2, 5});
        MenuItem("&EDIT", "CU&T")->trigger();
        QCOMPARE(Rows(d)[2].count("NONE") + Rows(d)[5].count("NONE"), 4);
        QVERIFY(d->List()->item(2)->isSelected() && d->List()->item(5)->isSelected() && bar->value() == top);
        QCOMPARE(d->List()->currentRow() + d->myDevice().NowCHNum, 24);
        // Pasting in another window.
        frmDocument* other = FreshDocument();
        Select(other, {9});
        MenuItem("&EDIT", "&PASTE")->trigger();
        QCOMPARE(Rows(other)[10].mid(6), before[5].mid(6));
    }

    void saveThenOpenShowsTheSameRows() {
        frmDocument* d = FreshDocument();
        setChannel(d, 15, 174.99375, 150.0);
        ApplySystemOption(d->myDevice(), 0);
        const QString path = dir.filePath("table.KQ");
        QVERIFY(d->SaveTo(path));
        QCOMPARE(d->Caption(), path);
        QVERIFY(d->Save()); // to the caption's path, without asking
        frmDocument* o = main->OpenChannelFilePath(path);
        QCOMPARE(o->Caption() + " " + o->LabelModel()->text() + " " + o->LabelRFIF()->text(), path + " KQ-0253 45 MHz");
        QVERIFY(Rows(o) == Rows(d) && !o->IsModified());
    }

    void damagedOrMissingFileOpensNoWindow() {
        const int count = main->DocumentCount();
        const QString bad = dir.filePath("bad.KQ");
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("1\r\n2\r\nnot a number\r\n");
        f.close();
        for (const QString& path : {bad, dir.filePath("missing.KQ")}) {
            MessageBoxAnswer ok(QMessageBox::Ok);
            QVERIFY(!main->OpenChannelFilePath(path));
            QVERIFY(ok.text().contains(QFileInfo(path).fileName()));
        }
        QCOMPARE(main->DocumentCount(), count); // and so no window was made
    }

    void unsavedChangesAreAskedAbout() {
        frmDocument* d = FreshDocument();
        QPointer<QWidget> sub = d->parentWidget();
        setChannel(d, 1, 150.0, 150.0);
        d->MarkModified();
        for (QWidget* closing : {static_cast<QWidget*>(sub), static_cast<QWidget*>(main.get())}) {
            MessageBoxAnswer cancel(QMessageBox::Cancel);
            QVERIFY(!closing->close());
            QCOMPARE(cancel.text(), QString("Save changes to %1?").arg(d->Caption()));
        }
        // Save on a window with a file name writes the file, then closes.
        const QString path = dir.filePath("asked.KQ");
        QVERIFY(d->SaveTo(path));
        setChannel(d, 7, 155.0, 155.0);
        d->MarkModified();
        {
            MessageBoxAnswer save(QMessageBox::Save);
            QVERIFY(sub->close());
        }
        Settle();
        QVERIFY(sub.isNull());
        ClassKQxx53 back;
        OpenChannelFile(back, path.toStdString());
        QCOMPARE(back.TheRxFreq(7), 155.0);
    }

    void busyTableDisablesWhatChangesItAndRefusesToClose() {
        frmDocument* idle = FreshDocument();
        frmDocument* d = FreshDocument();
        const QList<QAction*> changing = {
            MenuItem("&EDIT", "CU&T"),      MenuItem("&EDIT", "&PASTE"),     MenuItem("&EDIT", "&DELETE"),
            MenuItem("&EDIT", "AUTO&FREQ"), MenuItem("&OPTION", "S&YSTEM"), MenuItem("&OPTION", "C&HANNEL"),
            MenuItem("&DEVICE", "&UPLOAD"), MenuItem("&DEVICE", "&DOWNLOAD")};
        const QList<QAction*> reading = {MenuItem("&EDIT", "&COPY"), MenuItem("&FILE", "&SAVE"),
                                         MenuItem("&FILE", "&PRINT"), MenuItem("&DEVICE", "&PORTS...")};
        QVERIFY(!changing.contains(nullptr) && !reading.contains(nullptr));
        auto enabled = [](const QList<QAction*>& actions) {
            return std::count_if(actions.begin(), actions.end(), [](QAction* a) { return a->isEnabled(); });
        };
        d->SetBusy(true);
        QCOMPARE(enabled(changing) + enabled(reading), reading.size());
        main->ActivateDocument(idle); // another table's transfer does not matter
        QCOMPARE(enabled(changing), changing.size());
        main->ActivateDocument(d);
        QCOMPARE(enabled(changing), 0);
        {
            MessageBoxAnswer ok(QMessageBox::Ok);
            QVERIFY(!d->parentWidget()->close());
            QCOMPARE(ok.count(), 1);
        }
        d->SetBusy(false);
        QCOMPARE(enabled(changing), changing.size());
        QVERIFY(d->parentWidget()->close());
    }

    void reportPrintsToPdfWithItsTwentySixLines() {
        QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "pdftotext (poppler-utils) is needed");
        frmDocument* d = FreshDocument();
        setChannel(d, 10, 150.0125, 145.5);
        const QStringList lines = d->FillReport();
        const QString pdf = dir.filePath("report.pdf");
        QVERIFY(d->PrintReportToPdf(pdf));
        QProcess p;
        p.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(p.waitForFinished(30000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        // The layout's spacing is the PDF's own; the words and their order are the report's.
        QCOMPARE(text.simplified(), lines.join(' ').simplified());
    }

    void readmeViewerShowsTheFileLineByLine() {
        const QString path = dir.filePath("readme.txt");
        for (const auto& [file, text] : {QPair<QByteArray, QString>{"first\nno end", "first\r\nno end\r\n"},
                                         {"a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n"}, {"", ""}}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(file) == file.size());
            f.close();
            bool ok = false;
            QCOMPARE(Form_Readme::ReadmeText(path, &ok), text);
            QVERIFY(ok);
        }
        bool ok = true;
        Form_Readme::ReadmeText(dir.filePath("none.txt"), &ok);
        QVERIFY(!ok);

        // The program's own read-me, copied next to this test.
        QFile own(Form_Readme::ReadmePath());
        QVERIFY2(own.open(QIODevice::ReadOnly | QIODevice::Text), "KQreadme.txt must lie next to the program");
        const QString expected = QString::fromUtf8(own.readAll());
        FreshDocument();
        MenuItem("&HELP", "&README")->trigger();
        Form_Readme* r = Form_Readme::Instance();
        QVERIFY(r && Form_Readme::ShowReadme(*main) == r); // one instance
        QCOMPARE(r->Text_Readme()->toPlainText(), expected);
        r->close();
        Settle();
        QVERIFY(!Form_Readme::Instance());
    }
};

QTEST_MAIN(TestWindows)
#include "test_frmDocument.moc"
