// The desktop program's windows, driven offscreen: start-up, numbering,
// clipboard, files, unsaved changes, printing and the read-me viewer.
#include "GuiTestSupport.h"

#include "ChannelFile.h"
#include "ChannelText.h"
#include "Form_Readme.h"
#include "ModuleKQDevice.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kq;
using kqtest::MessageBoxAnswer;

class TestWindows : public QObject {
    Q_OBJECT

    frmMain* main = nullptr;
    QTemporaryDir dir;

    static void select(frmDocument* d, std::initializer_list<int> which) {
        d->List()->clearSelection();
        for (int i : which) d->List()->item(i)->setSelected(true);
    }
    static void setChannel(frmDocument* d, int16_t ch, double rx, double tx) {
        d->myDevice().TheRxFreq(ch, rx);
        d->myDevice().TheTxFreq(ch, tx);
        d->myDevice().TheRFPower(ch, -1);
        d->UpdateHomePage();
    }
    QStringList menuTitles() const {
        QStringList t;
        for (QAction* a : main->menuBar()->actions()) t << a->text();
        return t;
    }
    void closeAll() {
        MessageBoxAnswer discard(QMessageBox::Discard);
        main->mdiArea()->closeAllSubWindows();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void initTestCase() {
        main = new frmMain;
        main->show();
        NewDocument();
    }
    void cleanupTestCase() { delete main; }

    void startUpShowsUntitled1WithSixteenEmptyRows() {
        frmDocument* d = main->ActiveDocument();
        QVERIFY(d);
        QCOMPARE(main->windowTitle(), QString("KQ Serial PC Programmer"));
        QCOMPARE(main->AppVersion, QString("Ver1.10"));
        QCOMPARE(d->Caption(), QString("Untitled1"));
        const QStringList r = kqtest::Rows(d);
        QCOMPARE(r.size(), 16);
        QCOMPARE(r[3], QString("3   3     NONE     12.5K       NONE     12.5K    L  "));
        for (const QString& row : r) {
            QCOMPARE(row.size(), 52);
            QCOMPARE(row.count("   NONE   "), 2);
        }
        QCOMPARE(d->LabelModel()->text(), QString("KQ-0453"));
        QCOMPARE(d->LabelRFIF()->text(), QString("-45 MHz"));
        QCOMPARE(d->LabelReferOsc()->text(), QString("12.8 MHz"));
        QCOMPARE(d->List()->currentRow(), 0);
        QCOMPARE(d->myDevice().NowCHNum, int16_t{0});
        // The active window's menus replace the main window's own.
        QCOMPARE(menuTitles(), QStringList({"&FILE", "&EDIT", "&OPTION", "&DEVICE", "&WINDOW", "&HELP"}));
        // PASTE right after start does nothing.
        select(d, {4});
        d->PasteChannels();
        QCOMPARE(kqtest::Rows(d), r);
        QVERIFY(!d->IsModified());
        QCOMPARE(AboutText(), QString("KQ Serial PC Programmer Version 1.2.0"));
    }

    void numbersAreNeverReusedAndWindowsCascade() {
        const int base = DocumentCount();
        frmDocument* a = NewDocument();
        frmDocument* b = NewDocument();
        QCOMPARE(a->Caption(), QString("Untitled%1").arg(base + 1));
        QCOMPARE(b->Caption(), QString("Untitled%1").arg(base + 2));
        const QPoint pa = a->parentWidget()->pos(), pb = b->parentWidget()->pos();
        const int step = Twips((base + 1) * 400) - Twips(base * 400);
        QCOMPARE(pb - pa, QPoint(step, step));
        a->parentWidget()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(NewDocument()->Caption(), QString("Untitled%1").arg(base + 3));

        // A file opened takes the next number too; the caption is its path.
        const QString path = dir.filePath("numbering.KQ");
        ClassKQxx53 dev;
        SaveChannelFile(dev, path.toStdString());
        frmDocument* opened = OpenChannelFilePath(main, path);
        QVERIFY(opened);
        QCOMPARE(opened->Caption(), path);
        QCOMPARE(NewDocument()->Caption(), QString("Untitled%1").arg(base + 5));

        // With every window closed the main window's own menus come back.
        closeAll();
        QVERIFY(!main->ActiveDocument());
        QCOMPARE(menuTitles(), QStringList({"&FILE", "&HELP"}));
        NewDocument();
        QCOMPARE(menuTitles().size(), 6);
    }

    void clipboardCommandsFollowTheFirstSelectedRow() {
        frmDocument* d = NewDocument();
        setChannel(d, 2, 150.0125, 145.5);
        setChannel(d, 5, 160.0, 160.005);
        const QStringList before = kqtest::Rows(d);

        select(d, {2, 5});
        d->CopyChannels();
        select(d, {14, 3});
        d->PasteChannels();
        QStringList r = kqtest::Rows(d);
        QCOMPARE(r[3].mid(6), before[2].mid(6));
        QCOMPARE(r[4].mid(6), before[5].mid(6));
        QCOMPARE(r[14], before[14]);
        QVERIFY(d->IsModified());

        // Three rows pasted at 14 fill 14 and 15 only.
        select(d, {2, 3, 4});
        d->CopyChannels();
        select(d, {14});
        d->PasteChannels();
        r = kqtest::Rows(d);
        QCOMPARE(r[14].mid(6), before[2].mid(6));
        QCOMPARE(r[15].mid(6), before[2].mid(6)); // row 3 holds row 2's channel

        // Cut then paste restores the channels elsewhere; redraw keeps selection.
        select(d, {2, 5});
        d->CutChannels();
        r = kqtest::Rows(d);
        QVERIFY(r[2].contains("NONE"));
        QVERIFY(r[5].contains("NONE"));
        QVERIFY(d->List()->item(2)->isSelected());
        QVERIFY(d->List()->item(5)->isSelected());
        select(d, {8});
        d->PasteChannels();
        r = kqtest::Rows(d);
        QCOMPARE(r[8].mid(6), before[2].mid(6));
        QCOMPARE(r[9].mid(6), before[5].mid(6));

        // The clipboard is shared: paste into another window.
        frmDocument* other = NewDocument();
        select(other, {0});
        other->PasteChannels();
        QCOMPARE(kqtest::Rows(other)[0].mid(6), before[2].mid(6));

        // DELETE clears and leaves the clipboard.
        select(other, {0});
        other->DeleteChannels();
        QVERIFY(kqtest::Rows(other)[0].contains("NONE"));
        select(other, {1});
        other->PasteChannels();
        QCOMPARE(kqtest::Rows(other)[1].mid(6), before[2].mid(6));
        closeAll();
    }

    void redrawKeepsScrollAndCurrentRow() {
        frmDocument* d = NewDocument();
        d->List()->setCurrentRow(12);
        QCOMPARE(d->myDevice().NowCHNum, int16_t{12});
        d->List()->verticalScrollBar()->setValue(d->List()->verticalScrollBar()->maximum());
        const int top = d->List()->verticalScrollBar()->value();
        d->UpdateHomePage();
        QCOMPARE(d->List()->verticalScrollBar()->value(), top);
        QCOMPARE(d->List()->currentRow(), 12);
        QCOMPARE(d->myDevice().NowCHNum, int16_t{12});
        closeAll();
    }

    void saveThenOpenShowsTheSameRows() {
        frmDocument* d = NewDocument();
        setChannel(d, 0, 146.0125, 146.0125);
        setChannel(d, 15, 174.99375, 150.0);
        d->myDevice().Model(0);
        d->myDevice().ModelName("KQ-0253");
        d->myDevice().RFIF(45.0);
        d->MarkModified();
        const QString path = dir.filePath("table.KQ");
        QVERIFY(d->SaveTo(path));
        QCOMPARE(d->Caption(), path);
        QVERIFY(!d->IsModified());
        // Saving again goes to the caption's path without asking.
        QVERIFY(d->Save());

        frmDocument* o = OpenChannelFilePath(main, path);
        QVERIFY(o);
        QCOMPARE(o->Caption(), path);
        // The model word switches the opened window to that model's IF.
        QCOMPARE(o->LabelModel()->text(), QString("KQ-0253"));
        QCOMPARE(o->LabelRFIF()->text(), QString("45 MHz"));
        QCOMPARE(kqtest::Rows(o)[0], kqtest::Rows(d)[0]);
        QCOMPARE(kqtest::Rows(o)[15], kqtest::Rows(d)[15]);
        QVERIFY(!o->IsModified());
        closeAll();
    }

    void damagedOrMissingFileOpensNoWindow() {
        const int windows = main->Documents().size();
        const int count = DocumentCount();
        const QString bad = dir.filePath("bad.KQ");
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("1\r\n2\r\nnot a number\r\n");
        f.close();
        {
            MessageBoxAnswer ok(QMessageBox::Ok);
            QVERIFY(!OpenChannelFilePath(main, bad));
            QCOMPARE(ok.count(), 1);
            QVERIFY(ok.text().contains("bad.KQ"));
        }
        {
            MessageBoxAnswer ok(QMessageBox::Ok);
            QVERIFY(!OpenChannelFilePath(main, dir.filePath("missing.KQ")));
            QCOMPARE(ok.count(), 1);
        }
        QCOMPARE(main->Documents().size(), windows);
        QCOMPARE(DocumentCount(), count);
    }

    void unsavedChangesAreAskedAbout() {
        frmDocument* d = NewDocument();
        const QString caption = d->Caption();
        QPointer<QWidget> sub = d->parentWidget();
        // An unchanged window closes without a question.
        {
            frmDocument* clean = NewDocument();
            MessageBoxAnswer never(QMessageBox::Cancel);
            clean->parentWidget()->close();
            QCOMPARE(never.count(), 0);
        }
        setChannel(d, 1, 150.0, 150.0);
        select(d, {1});
        d->DeleteChannels();
        {
            MessageBoxAnswer cancel(QMessageBox::Cancel);
            QVERIFY(!sub->close());
            QCOMPARE(cancel.text(), QString("Save changes to %1?").arg(caption));
        }
        QVERIFY(main->Documents().contains(d));
        // Closing the main window asks too, and Cancel keeps it all.
        {
            MessageBoxAnswer cancel(QMessageBox::Cancel);
            QVERIFY(!main->close());
            QCOMPARE(cancel.count(), 1);
        }
        QVERIFY(main->Documents().contains(d));
        {
            MessageBoxAnswer discard(QMessageBox::Discard);
            QVERIFY(sub->close());
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(sub.isNull());

        // Save on a window with a file name writes the file, then closes.
        frmDocument* e = NewDocument();
        const QString path = dir.filePath("asked.KQ");
        QVERIFY(e->SaveTo(path));
        setChannel(e, 7, 155.0, 155.0);
        e->MarkModified();
        {
            MessageBoxAnswer save(QMessageBox::Save);
            QVERIFY(e->parentWidget()->close());
        }
        ClassKQxx53 back;
        OpenChannelFile(back, path.toStdString());
        QCOMPARE(back.TheRxFreq(7), 155.0);
        closeAll();
    }

    void busyWindowRefusesToClose() {
        frmDocument* d = NewDocument();
        d->SetBusy(true);
        {
            MessageBoxAnswer ok(QMessageBox::Ok);
            QVERIFY(!d->parentWidget()->close());
            QCOMPARE(ok.count(), 1);
        }
        d->SetBusy(false);
        QVERIFY(d->parentWidget()->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void reportPrintsToPdfWithItsTwentySixLines() {
        QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "pdftotext (poppler-utils) is needed");
        frmDocument* d = NewDocument();
        setChannel(d, 10, 150.0125, 145.5);
        const QStringList lines = d->FillReport();
        QCOMPARE(lines.size(), 26);
        const QString pdf = dir.filePath("report.pdf");
        QVERIFY(d->PrintReportToPdf(pdf));
        QProcess p;
        p.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(p.waitForFinished(30000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        auto norm = [](QString s) { return s.replace(QRegularExpression("\\s+"), " ").trimmed(); };
        QStringList printed;
        for (const QString& l : text.split('\n'))
            if (!norm(l).isEmpty()) printed << norm(l);
        QStringList expected;
        for (const QString& l : lines)
            if (!norm(l).isEmpty()) expected << norm(l);
        QCOMPARE(printed, expected);
        QVERIFY(text.contains("FileName : " + d->Caption()));
        // Printing changes neither table nor caption.
        QVERIFY(!d->IsModified());
        closeAll();
    }

    void readmeViewerShowsTheFileOrSaysItIsMissing() {
        const QString path = dir.filePath("readme.txt");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("first\nlast line without end");
        f.close();
        bool ok = false;
        QCOMPARE(Form_Readme::ReadmeText(path, &ok), QString("first\r\nlast line without end\r\n"));
        QVERIFY(ok);
        QFile::resize(path, 0);
        QCOMPARE(Form_Readme::ReadmeText(path, &ok), QString());
        QVERIFY(ok);
        Form_Readme::ReadmeText(dir.filePath("none.txt"), &ok);
        QVERIFY(!ok);

        Form_Readme* r = Form_Readme::ShowReadme();
        QCOMPARE(Form_Readme::ShowReadme(), r); // one instance
        QCOMPARE(r->windowTitle(), QString("ReadMe"));
        QVERIFY(!r->Text_Readme()->toPlainText().isEmpty());
        r->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!Form_Readme::Instance());
    }
};

QTEST_MAIN(TestWindows)
#include "test_frmDocument.moc"
