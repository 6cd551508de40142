// The desktop program's windows, driven offscreen from its start-up on:
// numbering, menus, clipboard, files, unsaved changes, the busy state,
// printing, the read-me viewer, the editing dialogs (typing, Enter, OK, and
// the rows and labels after), DEVICE > UPLOAD and DOWNLOAD against the
// kqradio emulator on a real pseudo-terminal, and what a technician expects
// of a desktop tool: the window's place, undo, files from anywhere, settings
// kept between runs, the context menu, the band hint, print preview and CSV.
#include "GuiTestSupport.h"
#include "KqRadioProcess.h"

#include "ChannelFile.h"
#include "Form_AutoFreq.h"
#include "Form_Keyin_CH.h"
#include "Form_Option_System.h"
#include "Form_Ports.h"
#include "Form_Readme.h"
#include "KqSerialPort.h"
#include "SystemOption.h"
#include "TransferWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

using namespace kq;
using namespace kqtest;
using Outcome = TransferSequence::Outcome;

class TestWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<frmMain> main;
    QTemporaryDir dir;

    static void setChannel(frmDocument* d, int16_t ch, double rx, double tx) {
        d->myDevice().TheRxFreq(ch, rx);
        d->myDevice().TheTxFreq(ch, tx);
        d->UpdateHomePage();
    }
    // A new active window holding channels 0 .. n-1, its image cut to the
    // first words (19: the header and channel 0, for a shorter transfer).
    static frmDocument* table(int16_t n, int16_t words = 64) {
        frmDocument* d = FreshDocument();
        for (int16_t ch = 0; ch < n; ++ch) {
            d->myDevice().TheRFPower(ch, ch % 2 ? -1 : 0);
            setChannel(d, ch, 146.0125 + ch * 0.025, 150.5 + ch * 0.0125);
        }
        d->myDevice().TotalEEWords(words);
        return d;
    }
    QString status() const { return main->statusBar()->currentMessage(); }
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
        Form_Keyin_CH* dlg = editRow(d, row);
        dlg->Text_RxFreq->setText(rx);
        dlg->Text_TxFreq->setText(rx);
        dlg->Command_OK_Click();
        Settle();
    }
    static void fill(frmDocument* d, const QString& start, const QString& stop, const QString& freq) {
        d->OpenAutoFreq();
        Form_AutoFreq* f = Form_AutoFreq::Open();
        for (const auto& [field, text] : {QPair<QLineEdit*, QString>{f->Text_StartCH, start},
                                          {f->Text_StopCH, stop},
                                          {f->Text_StartFreq, freq},
                                          {f->Text_SpaceFreq, "12.5"}})
            field->setText(text);
        f->Command_OK_Click();
        Settle();
    }
    // As typed into the file dialog's name field, then accepted.
    static void typeFileName(QFileDialog* f, const QString& path) {
        f->findChild<QLineEdit*>("fileNameEdit")->setText(path);
        static_cast<QDialog*>(f)->accept();
    }

    void withoutTheSharedWindow() {
        main.reset();
        QSettings().clear(); // what it kept on the way out
    }
    // Replaces a field's text the way a user does: focus (selects all), type.
    static void type(QLineEdit* e, const QString& text) {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
    }
    static void typeBoth(Form_Keyin_CH* dlg, const QString& rx, const QString& tx) {
        type(dlg->Text_RxFreq, rx);
        type(dlg->Text_TxFreq, tx);
    }
    // The channel edit dialog on row, opened by a double click.
    static Form_Keyin_CH* editRow(frmDocument* d, int row) {
        d->List()->setCurrentRow(row);
        emit d->List()->itemDoubleClicked(d->List()->item(row));
        return Form_Keyin_CH::Open();
    }

private slots:
    void initTestCase() {
        main = StartProgram({"kqprogrammer", "--port", "/dev/kqA,/dev/kqB"});
        // Transfers are quick against the unpaced emulator (the paced tests switch
        // it off), set after the main window, which applies the remembered choice;
        // on a loaded machine a pseudo-terminal can deliver tens of ms late.
        SetFastLink(true);
        LinkOptions().tickMs = 80;
    }
    void cleanupTestCase() { KqSerialPort::SetPortMap({}); }
    void init() { QSettings().clear(); }
    void cleanup() { CloseAll(); }

    void startsWithUntitled1AndThePortsGiven() {
        QCOMPARE(KqSerialPort::PortMap().mid(0, 2), QStringList({"/dev/kqA", "/dev/kqB"}));
        QVERIFY(main->isVisible());
        QCOMPARE(main->Documents().size(), 1);
        frmDocument* d = main->ActiveDocument();
        QCOMPARE(d->Caption() + " " + Rows(d)[10],
                 QString("Untitled1 10  A     NONE     12.5K       NONE     12.5K    L  "));
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
        // A table saved and a file opened have the file's path as caption; the opened one
        // shows the same rows and takes the next number too.
        setChannel(b, 15, 174.99375, 150.0);
        ApplySystemOption(b->myDevice(), 0);
        const QString path = dir.filePath("table.KQ");
        QVERIFY(b->SaveTo(path) && b->Caption() == path);
        QVERIFY(b->Save()); // to the caption's path, without asking
        frmDocument* o = main->OpenChannelFilePath(path);
        QCOMPARE(o->Caption() + " " + o->LabelModel()->text() + " " + o->LabelRFIF()->text(), path + " KQ-0253 45 MHz");
        QVERIFY(Rows(o) == Rows(b) && !o->IsModified());
        QCOMPARE(main->NewDocument()->Caption(), QString("Untitled%1").arg(base + 5));
        // The WINDOW menu lists the tables and activates the one chosen.
        emit Menu("&WINDOW")->aboutToShow();
        const QList<QAction*> items = Menu("&WINDOW")->actions();
        QCOMPARE(Texts(items),
                 QStringList({path, QString("Untitled%1").arg(base + 3), path, QString("Untitled%1").arg(base + 5)}));
        QVERIFY(!items[0]->isChecked() && items[3]->isChecked());
        items[0]->trigger();
        QCOMPARE(main->ActiveDocument(), b);
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

    void damagedOrMissingFileOpensNoWindow() {
        const int count = main->DocumentCount();
        for (const QString& path : {writeFile("bad.KQ", "1\r\n2\r\nnot a number\r\n"), dir.filePath("missing.KQ")}) {
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
        const QList<QAction*> changing = {MenuItem("&EDIT", "CU&T"),      MenuItem("&EDIT", "&PASTE"),
                                          MenuItem("&EDIT", "&DELETE"),   MenuItem("&EDIT", "AUTO&FREQ"),
                                          MenuItem("&OPTION", "S&YSTEM"), MenuItem("&OPTION", "C&HANNEL"),
                                          MenuItem("&DEVICE", "&UPLOAD"), MenuItem("&DEVICE", "&DOWNLOAD")};
        const QList<QAction*> reading = {MenuItem("&EDIT", "&COPY"), MenuItem("&FILE", "&SAVE"),
                                         MenuItem("&FILE", "&PRINT"), MenuItem("&DEVICE", "&PORTS...")};
        QVERIFY(!changing.contains(nullptr) && !reading.contains(nullptr));
        Form_Keyin_CH* edit = editRow(d, 1); // its OK in the middle of a radio transfer changes nothing
        typeBoth(edit, "146.0125", "146.0125");
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
            QTest::mouseClick(edit->Command_OK, Qt::LeftButton);
            QVERIFY(ok.count() == 2 && ok.text().contains("transfer") && d->myDevice().TheRxFreq(1) == 0.0);
        }
        d->SetBusy(false);
        QCOMPARE(enabled(changing), changing.size());
        QVERIFY(d->parentWidget()->close());
    }

    void reportPrintsToPdfAndPreviewsAsPrintWould() {
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
    }

    void readmeViewerShowsTheFileLineByLine() {
        for (const auto& [file, text] : {QPair<QByteArray, QString>{"first\nno end", "first\r\nno end\r\n"},
                                         {"a\r\n\r\nb\r\n", "a\r\n\r\nb\r\n"},
                                         {"", ""}}) {
            bool ok = false;
            QCOMPARE(Form_Readme::ReadmeText(writeFile("readme.txt", file), &ok), text);
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

    void doubleClickEnterAndOptionChannelEditTheirRow() {
        frmDocument* d = FreshDocument();
        const std::function<void()> openers[] = {[d] { emit d->List()->itemDoubleClicked(d->List()->currentItem()); },
                                                 [d] { QTest::keyClick(d->List(), Qt::Key_Return); },
                                                 [] { MenuItem("&OPTION", "C&HANNEL")->trigger(); }};
        int row = 4;
        for (const auto& open : openers) {
            d->List()->setCurrentRow(++row);
            open();
            QVERIFY(Form_Keyin_CH::Open());
            QCOMPARE(Form_Keyin_CH::Open()->windowTitle(), QString("Channel %1").arg(row));
            Form_Keyin_CH::Open()->close();
            Settle();
        }
    }

    void okWritesTheChannelAndRedraws() {
        frmDocument* d = FreshDocument();
        d->myDevice().TheRxCHSpace(5, 1); // a stored 1 shows as 25KHz
        Form_Keyin_CH* dlg = editRow(d, 5);
        QVERIFY(dlg && QTest::qWaitForWindowExposed(dlg));
        QVERIFY(dlg->Option_RxCH_Space_25k->isChecked() && dlg->Option_RFPower_Low->isChecked());
        QCOMPARE(dlg->focusWidget(), dlg->Text_RxFreq);
        d->OpenChannelEdit(); // opening again keeps the one dialog
        QCOMPARE(Form_Keyin_CH::Open(), dlg);
        MessageBoxAnswer ok(QMessageBox::Ok); // a refused value keeps the dialog and the channel
        typeBoth(dlg, "146.025", "0");
        QTest::mouseClick(dlg->Command_OK, Qt::LeftButton);
        QVERIFY(ok.text() == "A Invalid Frequency Value." && Form_Keyin_CH::Open() == dlg && !d->IsModified());
        type(dlg->Text_RxFreq, "150,0125");
        dlg->Check_RxTx->click();
        QVERIFY(!dlg->Text_TxFreq->isEnabled() && !dlg->Frame_TxCHSpace->isEnabled());
        dlg->Option_RFPower_High->setChecked(true);
        QTest::mouseClick(dlg->Command_OK, Qt::LeftButton);
        Settle();
        QVERIFY(!Form_Keyin_CH::Open());
        QCOMPARE(Rows(d)[5], QString("5   5  150.012500  25.0K    150.012500  25.0K    H  "));
        QVERIFY(d->IsModified());
    }

    void enterWalksTheControlsThatCanTakeTheFocus() {
        frmDocument* d = FreshDocument();
        Form_Keyin_CH* dlg = editRow(d, 0);
        QVERIFY(dlg && QTest::qWaitForWindowExposed(dlg));
        // With Tx=Rx the transmit controls are skipped, and so are options not chosen.
        dlg->Check_RxTx->setFocus();
        QTest::keyClick(dlg->Check_RxTx, Qt::Key_Space);
        const QList<QWidget*> walk = {dlg->Check_RxTx, dlg->Text_RxFreq, dlg->Option_RxCH_Space_12k5,
                                      dlg->Option_RFPower_Low, dlg->Command_OK};
        for (int i = 0; i + 1 < walk.size(); ++i) {
            QTest::keyClick(walk[i], Qt::Key_Return);
            QCOMPARE(dlg->focusWidget(), walk[i + 1]);
        }
        // An empty channel: OK (any key on it) closes without a change.
        QTest::keyClick(dlg->Command_OK, Qt::Key_X);
        Settle();
        QVERIFY(!Form_Keyin_CH::Open());
        QVERIFY(!d->IsModified());
    }

    void autoFreqFillsTypedWithEnterThenRxOnly() {
        frmDocument* d = FreshDocument();
        MenuItem("&EDIT", "AUTO&FREQ")->trigger();
        Form_AutoFreq* dlg = Form_AutoFreq::Open();
        QVERIFY(dlg && QTest::qWaitForWindowExposed(dlg));
        QCOMPARE(dlg->focusWidget(), dlg->Text_StartCH);
        for (const char* text : {"0", "15", "146.0125", "12.5", "", ""}) {
            QWidget* field = dlg->focusWidget();
            QTest::keyClicks(field, text);
            QTest::keyClick(field, Qt::Key_Return); // the last two: Rx=Tx, then OK
        }
        Settle();
        QVERIFY(!Form_AutoFreq::Open());
        QCOMPARE(Rows(d)[15], QString("15  F  146.200000  12.5K    146.200000  12.5K    L  "));
        // Rx only leaves the transmit side as it was.
        MenuItem("&EDIT", "AUTO&FREQ")->trigger();
        dlg = Form_AutoFreq::Open();
        for (const char* text : {"3", "3", "150", "25"}) QTest::keyClicks(dlg->focusWidget(), text + QString("\r"));
        dlg->Option_OnlyRx->click();
        dlg->Command_OK_Click();
        QCOMPARE(Rows(d)[3], QString("3   3  150.000000  12.5K    146.050000  12.5K    L  "));
    }

    void systemOptionSwitchesTheModel() {
        frmDocument* d = FreshDocument();
        MenuItem("&OPTION", "S&YSTEM")->trigger();
        Form_Option_System* dlg = Form_Option_System::Open();
        QCOMPARE(dlg->Combo_Model->currentText(), QString("KQ-0453    IF -45MHz"));
        dlg->Combo_Model->setCurrentIndex(3);
        QTest::mouseClick(dlg->Command_Yes, Qt::LeftButton); // and reopened at once
        QCOMPARE(d->LabelModel()->text() + " " + d->LabelRFIF()->text(), QString("KQ-0153 21.4 MHz"));
        // A model code without an item: nothing selected, OK waits for a choice.
        d->myDevice().Model(9);
        MenuItem("&OPTION", "S&YSTEM")->trigger();
        dlg = Form_Option_System::Open();
        QVERIFY(dlg->Combo_Model->placeholderText().contains("9") && !dlg->Command_Yes->isEnabled());
    }

    void okWritesTheCaptionsChannelIntoTheTableItWasOpenedOn() {
        // Neither another row clicked meanwhile nor another active table
        // takes the values: channel 3 of the first table would be lost.
        frmDocument* openedOn = FreshDocument();
        Form_Keyin_CH* dlg = editRow(openedOn, 3);
        openedOn->List()->setCurrentRow(5);
        frmDocument* active = FreshDocument();
        active->List()->setCurrentRow(7);
        typeBoth(dlg, "146.5", "146.5");
        QTest::mouseClick(dlg->Command_OK, Qt::LeftButton);
        QCOMPARE(openedOn->myDevice().TheRxFreq(3), 146.5);
        QCOMPARE(openedOn->myDevice().TheRxFreq(5) + active->myDevice().TheRxFreq(7), 0.0);
        QVERIFY(openedOn->IsModified() && !active->IsModified());
        // The dialogs close with their window.
        active->OpenAutoFreq();
        active->OpenSystemOption();
        QVERIFY(editRow(active, 1) && Form_AutoFreq::Open() && Form_Option_System::Open());
        active->parentWidget()->close();
        Settle();
        QVERIFY(!Form_Keyin_CH::Open() && !Form_AutoFreq::Open() && !Form_Option_System::Open());
    }

    void modelQuestionThenDownloadThenUpload() {
        const QString saved = dir.filePath("written.KQ");
        KqRadioProcess radio({"--model", "3", "--save", saved});
        KqSerialPort::SetPortMap({radio.device});
        frmDocument* d = table(1, 19);
        for (QMessageBox::StandardButton answer : {QMessageBox::Cancel, QMessageBox::Ok}) {
            MessageBoxAnswer box(answer);
            Form_Download::Load(*d);
            QCOMPARE(box.count(), 1);
            QCOMPARE(box.text(), QString("Model Type Unmatch!\r\nOverwrite ?"));
            QCOMPARE(TransferWindow::LastOutcome(), answer == QMessageBox::Ok ? Outcome::Done : Outcome::ModelDeclined);
        }
        frmDocument* back = kqtest::FreshDocument();
        Form_Upload::Load(*back);
        QCOMPARE(TransferWindow::LastOutcome(), Outcome::Done);
        // Only the header and channel 0 were written; the radio's other
        // channels are its own model's, which read differently under another.
        QCOMPARE(Rows(back).first(), Rows(d).first());
        QVERIFY(back->myDevice().Model() == d->myDevice().Model() && back->IsModified() && !back->IsBusy());
        QVERIFY2(status().contains(radio.device), qPrintable(status()));
        radio.stop();
        QCOMPARE(Rows(main->OpenChannelFilePath(saved)).first(), Rows(d).first());
    }

    void failuresSayWhatHappened() {
        struct Case {
            QStringList args;
            bool upload;
            QString box, status;
        };
        // The box keeps the short text; the status bar tells the details (the
        // outcomes' texts themselves are the transfer sequence's).
        for (const Case& c : {Case{{"--bad-id"}, true, "EEPROM must be initiated!", "0xC501"},
                              Case{{"--no-probe"}, false, " ComPort Error! ", "No radio answered"}}) {
            KqRadioProcess radio(c.args + QStringList{"--model", "2"});
            KqSerialPort::SetPortMap({radio.device});
            frmDocument* d = table(4);
            const QStringList before = Rows(d);
            MessageBoxAnswer ok(QMessageBox::Ok);
            c.upload ? Form_Upload::Load(*d) : Form_Download::Load(*d);
            QCOMPARE(ok.text(), c.box);
            QVERIFY2(status().contains(c.status), qPrintable(status()));
            QCOMPARE(Rows(d), before);
            QVERIFY(!d->IsBusy());
        }
    }

    void aModalBoxCannotBreakAPacedDownload() {
        const QString saved = dir.filePath("modal.KQ");
        KqRadioProcess radio({"--model", "2", "--save", saved}, /*pace=*/true);
        KqSerialPort::SetPortMap({radio.device});
        SetFastLink(false);
        frmDocument* d = table(1, 19);
        int held = 0;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, [&] {
            TransferWindow* w = TransferWindow::Open();
            if (held || !w || w->ProgressBar->value() < 3) return;
            ++held;
            QDialog box(main.get()); // a modal box of the program's, held for a second
            QTimer::singleShot(1000, &box, &QDialog::accept);
            box.exec();
        });
        poll.start();
        MessageBoxAnswer failure(QMessageBox::Ok); // a failure must not hang the test
        Form_Download::Load(*d);
        SetFastLink(true);
        QCOMPARE(held, 1);
        QCOMPARE(failure.count(), 0);
        QCOMPARE(TransferWindow::LastOutcome(), Outcome::Done);
        radio.stop();
        QCOMPARE(Rows(main->OpenChannelFilePath(saved)), Rows(d));
    }

    void cancelStopsMidTransferAndProgressIsShown() {
        KqRadioProcess radio({"--model", "2"}, /*pace=*/true);
        KqSerialPort::SetPortMap({radio.device});
        SetFastLink(false);
        frmDocument* d = table(1, 16); // a bar step per word
        QList<int> seen;
        bool busyDuring = false;
        QString secondStart;
        QTimer poll;
        poll.setInterval(5);
        MessageBoxAnswer ok(QMessageBox::Ok); // also a failure's box: no hang
        connect(&poll, &QTimer::timeout, [&] {
            TransferWindow* w = TransferWindow::Open();
            if (!w || w->isHidden()) return;
            if (seen.isEmpty() || seen.last() != w->ProgressBar->value()) seen << w->ProgressBar->value();
            busyDuring = busyDuring || d->IsBusy();
            if (w->ProgressBar->value() >= 5 && secondStart.isEmpty()) {
                Form_Upload::Load(*d); // refused while this one runs
                secondStart = ok.text();
                w->close(); // the frame's close acts as CANCEL
            }
        });
        poll.start();
        Form_Download::Load(*d);
        SetFastLink(true);
        QCOMPARE(ok.count(), 1);
        QCOMPARE(TransferWindow::LastOutcome(), Outcome::Cancelled);
        QVERIFY(busyDuring && !d->IsBusy() && secondStart.contains("transfer is running"));
        // The bar is cleared when the window opens, then shows the sequence's
        // progress (its steps are the sequence's test), and stops short.
        QVERIFY2(seen.size() >= 3 && seen.first() <= 1 && std::is_sorted(seen.begin(), seen.end()) && seen.last() < 15,
                 qPrintable(QString::number(seen.size())));
    }

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
        frmDocument* d = FreshDocument();
        const std::function<void()> commands[] = {
            [d] { fill(d, "0", "15", "146"); }, // all 16 channels
            [d] { editChannel(d, 2, "150.5"); },
            [d] {
                Select(d, {2});
                MenuItem("&EDIT", "CU&T")->trigger();
            },
            [d] {
                Select(d, {10});
                MenuItem("&EDIT", "&PASTE")->trigger();
            },
            [d] {
                Select(d, {11});
                MenuItem("&EDIT", "&DELETE")->trigger();
            },
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
        main->activateWindow(); // from the dialogs, for the shortcuts
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
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

    void contextMenuOffersTheEditCommandsOnTheRow() {
        frmDocument* d = FreshDocument();
        editChannel(d, 4, "150");
        const auto choose = [d](int row, const QString& item) {
            const std::unique_ptr<QMenu> menu(
                d->MakeContextMenu(d->List()->visualItemRect(d->List()->item(row)).center()));
            for (QAction* a : menu->actions())
                if (a->text() == item && a->isEnabled()) a->trigger();
            return Texts(menu->actions());
        };
        const QStringList before = Rows(d);
        Select(d, {4});
        QCOMPARE(choose(4, "&COPY"),
                 QStringList({"EDIT C&HANNEL...", "", "CU&T", "&COPY", "&PASTE", "&DELETE", "", "&UNDO"}));
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
        frmDocument* d = FreshDocument();
        const auto hint = [this] { return main->findChild<QLabel*>("Label_BandHint")->text(); };
        editChannel(d, 3, "440");
        QVERIFY(hint().contains("134 to 175 MHz") && hint().endsWith(": channel 3"));
        Select(d, {3});
        MenuItem("&EDIT", "&COPY")->trigger();
        Select(d, {9});
        MenuItem("&EDIT", "&PASTE")->trigger();
        QVERIFY(hint().endsWith(": channels 3, 9"));
        fill(d, "0", "15", "150");
        QCOMPARE(hint(), QString());
        main->OpenChannelFilePath(tableFile("low.KQ", 12, 120.0));
        QVERIFY(hint().endsWith(": channel 12"));
    }

    void csvExportsEitherLayoutAndImportsAsOneStep() {
        frmDocument* d = FreshDocument();
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
        frmDocument* e = FreshDocument();
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

    // The last two start the program anew, without the shared window.
    void filesOpenFromTheCommandLineDropsAndTheRecentList() {
        withoutTheSharedWindow();
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
        withoutTheSharedWindow();
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
            // Closed just before the program ends: its deletion is still pending
            // when the main window goes, which must not call back into it.
            QVERIFY(m.NewDocument()->parentWidget()->close());
        }
        // A device that went is not searched silently in place of the system's ports.
        KqSerialPort::SetPortMap({});
        frmMain m;
        QVERIFY(m.statusBar()->currentMessage().contains(gone));
        QVERIFY(!KqSerialPort::PortMap().contains(gone));
    }
};

QTEST_MAIN(TestWindows)
#include "test_Windows.moc"
