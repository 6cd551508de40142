// DEVICE > UPLOAD and DOWNLOAD in the desktop program, offscreen, against
// the kqradio emulator on a real pseudo-terminal.
#include "GuiTestSupport.h"
#include "KqRadioProcess.h"

#include "ChannelFile.h"
#include "ChannelText.h"
#include "DocumentHooks.h"
#include "Form_Ports.h"
#include "KqSerialPort.h"
#include "ModuleKQDevice.h"
#include "TransferWindow.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using namespace kq;
using kqtest::KqRadioProcess;
using kqtest::MessageBoxAnswer;

class TestTransferWindows : public QObject {
    Q_OBJECT

    frmMain* main = nullptr;
    QTemporaryDir dir;

    // A channel file of model 2 with a few channels, as a radio image.
    QString imageFile(const QString& name, double base) {
        ClassKQxx53 dev;
        for (int16_t ch = 0; ch < 16; ch += 3) {
            dev.TheRxFreq(ch, base + ch * 0.0125);
            dev.TheTxFreq(ch, base + 0.6 + ch * 0.0125);
            dev.TheRFPower(ch, ch % 2 ? -1 : 0);
        }
        const QString path = dir.filePath(name);
        SaveChannelFile(dev, path.toStdString());
        return path;
    }
    static QStringList rowsOf(const QString& file) {
        ClassKQxx53 dev;
        OpenChannelFile(dev, file.toStdString());
        QStringList r;
        for (int16_t ch = 0; ch < 16; ++ch) r << QString::fromStdString(ChannelRow(dev, ch));
        return r;
    }
    void useRadio(const KqRadioProcess& radio) {
        QVERIFY(radio.device.startsWith("/dev/"));
        KqSerialPort::SetPortMap({radio.device});
    }

private slots:
    void initTestCase() {
        InstallTransferWindows();
        // Quick against the unpaced emulator; the paced tests switch it off.
        SetFastLink(true);
        LinkOptions().tickMs = 40; // a loaded machine's pseudo-terminal can be tens of ms late
        main = new frmMain;
        main->show();
    }
    void cleanupTestCase() {
        KqSerialPort::SetPortMap({});
        delete main;
    }
    void cleanup() {
        MessageBoxAnswer discard(QMessageBox::Discard);
        main->mdiArea()->closeAllSubWindows();
        QCoreApplication::processEvents();
    }

    void uploadShowsTheRadiosChannels() {
        const QString image = imageFile("radio.KQ", 146.0125);
        KqRadioProcess radio({"--image", image});
        useRadio(radio);
        frmDocument* d = kqtest::FreshDocument();
        documentHooks().Upload(*d);
        QCOMPARE(TransferWindow::LastOutcome(), TransferSequence::Outcome::Done);
        QVERIFY(!TransferWindow::Open() || TransferWindow::Open()->isHidden());
        QCOMPARE(kqtest::Rows(d), rowsOf(image));
        QVERIFY(d->IsModified());
        QVERIFY(!d->IsBusy());
        QVERIFY(main->statusBar()->currentMessage().contains(radio.device));
    }

    void downloadThenUploadGivesTheSameRows() {
        const QString saved = dir.filePath("written.KQ");
        KqRadioProcess radio({"--model", "2", "--save", saved});
        useRadio(radio);
        frmDocument* d = kqtest::FreshDocument();
        d->myDevice().TheRxFreq(4, 150.0125);
        d->myDevice().TheTxFreq(4, 155.5);
        d->myDevice().TheRxCHSpace(4, -1);
        d->UpdateHomePage();
        documentHooks().Download(*d);
        QCOMPARE(TransferWindow::LastOutcome(), TransferSequence::Outcome::Done);
        frmDocument* back = kqtest::FreshDocument();
        documentHooks().Upload(*back);
        QCOMPARE(kqtest::Rows(back), kqtest::Rows(d));
        radio.stop();
        QCOMPARE(rowsOf(saved), kqtest::Rows(d));
    }

    void modelMismatchAsksFirst() {
        const QString saved = dir.filePath("model3.KQ");
        KqRadioProcess radio({"--model", "3", "--save", saved});
        useRadio(radio);
        frmDocument* d = kqtest::FreshDocument();
        d->myDevice().TheRxFreq(0, 146.5);
        {
            MessageBoxAnswer cancel(QMessageBox::Cancel);
            documentHooks().Download(*d);
            QCOMPARE(cancel.count(), 1);
            QCOMPARE(cancel.text(), QString("Model Type Unmatch!\r\nOverwrite ?"));
        }
        QCOMPARE(TransferWindow::LastOutcome(), TransferSequence::Outcome::ModelDeclined);
        frmDocument* check = kqtest::FreshDocument();
        documentHooks().Upload(*check);
        QVERIFY(!kqtest::Rows(check)[0].contains("146.500000"));
        {
            MessageBoxAnswer ok(QMessageBox::Ok);
            documentHooks().Download(*d);
            QCOMPARE(ok.count(), 1);
        }
        QCOMPARE(TransferWindow::LastOutcome(), TransferSequence::Outcome::Done);
        radio.stop();
        QVERIFY(rowsOf(saved)[0].contains("146.500000"));
    }

    void failuresSayWhatHappened() {
        struct Case {
            QStringList args;
            bool upload;
            QString box, status;
        };
        for (const Case& c : {Case{{"--silent-from", "10"}, true, " ComPort Error! ", "stopped answering at word 10"},
                              Case{{"--bad-id"}, true, "EEPROM must be initiated!", "0xC501"},
                              Case{{"--bad-readback", "5"}, false, " ComPort Error! ", "word 5 read back as 0x"},
                              Case{{"--no-probe"}, false, " ComPort Error! ", "No radio answered"}}) {
            KqRadioProcess radio(c.args + QStringList{"--model", "2", "--image", imageFile("fault.KQ", 440.0125)});
            useRadio(radio);
            frmDocument* d = kqtest::FreshDocument();
            d->myDevice().TheRxFreq(2, 146.0125);
            d->UpdateHomePage();
            const QStringList before = kqtest::Rows(d);
            MessageBoxAnswer ok(QMessageBox::Ok);
            c.upload ? documentHooks().Upload(*d) : documentHooks().Download(*d);
            QCOMPARE(ok.text(), c.box);
            QVERIFY2(main->statusBar()->currentMessage().contains(c.status),
                     qPrintable(main->statusBar()->currentMessage()));
            QCOMPARE(kqtest::Rows(d), before);
            QVERIFY(!d->IsBusy());
        }
        // A table the codec refuses: its own message, and nothing is sent.
        frmDocument* d = kqtest::FreshDocument();
        d->myDevice().TheRxFreq(2, 99999.0);
        MessageBoxAnswer ok(QMessageBox::Ok);
        documentHooks().Download(*d);
        QVERIFY2(ok.text().startsWith("Channel 2"), qPrintable(ok.text()));
        QCOMPARE(TransferWindow::LastOutcome(), TransferSequence::Outcome::TableInvalid);
    }

    void aModalBoxCannotBreakAPacedDownload() {
        const QString saved = dir.filePath("modal.KQ");
        KqRadioProcess radio({"--model", "2", "--save", saved}, /*pace=*/true);
        useRadio(radio);
        SetFastLink(false);
        frmDocument* d = kqtest::FreshDocument();
        for (int16_t ch = 0; ch < 3; ++ch) d->myDevice().TheRxFreq(ch, 146.0125 + ch * 0.025);
        d->myDevice().TotalEEWords(25); // header and channels 0 to 2: a shorter download
        d->UpdateHomePage();
        int held = 0;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, [&] {
            TransferWindow* w = TransferWindow::Open();
            if (held || !w || w->ProgressBar->value() < 3) return;
            ++held;
            QDialog box(main); // a modal box of the program's, held for a second
            QTimer::singleShot(1000, &box, &QDialog::accept);
            box.exec();
        });
        poll.start();
        MessageBoxAnswer failure(QMessageBox::Ok); // a failure must not hang the test
        documentHooks().Download(*d);
        poll.stop();
        SetFastLink(true);
        QCOMPARE(held, 1);
        QCOMPARE(failure.count(), 0);
        QCOMPARE(TransferWindow::LastOutcome(), TransferSequence::Outcome::Done);
        radio.stop();
        QCOMPARE(rowsOf(saved), kqtest::Rows(d));
    }

    void cancelStopsMidTransferAndProgressIsShown() {
        const QString saved = dir.filePath("cancel.KQ");
        KqRadioProcess radio({"--model", "2", "--save", saved}, /*pace=*/true);
        useRadio(radio);
        SetFastLink(false);
        frmDocument* d = kqtest::FreshDocument();
        for (int16_t ch = 0; ch < 16; ++ch) d->myDevice().TheRxFreq(ch, 146.0125);
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
                // A second transfer is refused while this one runs.
                documentHooks().Upload(*d);
                secondStart = ok.text();
                w->close(); // the frame's close acts as CANCEL
            }
        });
        poll.start();
        documentHooks().Download(*d);
        poll.stop();
        QCOMPARE(ok.count(), 1);
        SetFastLink(true);
        QCOMPARE(TransferWindow::LastOutcome(), TransferSequence::Outcome::Cancelled);
        QVERIFY(busyDuring);
        QVERIFY(!d->IsBusy());
        QVERIFY(secondStart.contains("transfer is running"));
        // The bar is cleared when the window opens; from the first tick on a
        // write's bar runs one step ahead.
        if (!seen.isEmpty() && seen.first() == 0) seen.removeFirst();
        QVERIFY(seen.size() >= 3);
        QCOMPARE(seen.first(), 1);
        for (int i = 1; i < seen.size(); ++i) QVERIFY(seen[i] > seen[i - 1]);
        QVERIFY(seen.last() < 15);
        // The radio keeps the words written before the cancel, not all of them.
        radio.stop();
        const QStringList written = rowsOf(saved);
        QVERIFY(written[15].contains("NONE"));
    }

    void portListSetsTheSearchedDevices() {
        Form_Ports* f = Form_Ports::ShowPorts(main);
        f->Combo_Port[0]->setCurrentText("/dev/ttyUSB7");
        f->Combo_Port[1]->setCurrentText("");
        f->Combo_Port[2]->setCurrentText("/dev/pts/99");
        f->Combo_Port[3]->setCurrentText("");
        f->Apply();
        QCOMPARE(KqSerialPort::PortMap(), QStringList({"/dev/ttyUSB7", "", "/dev/pts/99"}));
        f->close();
        KqSerialPort::SetPortMap({});
    }
};

QTEST_MAIN(TestTransferWindows)
#include "test_TransferWindows.moc"
