// DEVICE > UPLOAD and DOWNLOAD in the desktop program, offscreen, against
// the kqradio emulator on a real pseudo-terminal.
#include "GuiTestSupport.h"
#include "KqRadioProcess.h"

#include "ChannelFile.h"
#include "ChannelText.h"
#include "KqSerialPort.h"
#include "TransferWindow.h"

#include <QDialog>
#include <QMdiArea>
#include <QProgressBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using namespace kq;
using kqtest::KqRadioProcess;
using kqtest::MessageBoxAnswer;
using Outcome = TransferSequence::Outcome;

class TestTransferWindows : public QObject {
    Q_OBJECT

    frmMain* main = nullptr;
    QTemporaryDir dir;

    static QStringList rowsOf(const QString& file) {
        ClassKQxx53 dev;
        OpenChannelFile(dev, file.toStdString());
        QStringList r;
        for (int16_t ch = 0; ch < 16; ++ch) r << QString::fromStdString(ChannelRow(dev, ch));
        return r;
    }
    // A new active window holding channels 0 .. n-1, its image cut to the
    // first words (19: the header and channel 0, for a shorter transfer).
    static frmDocument* table(int16_t n, int16_t words = 64) {
        frmDocument* d = kqtest::FreshDocument();
        for (int16_t ch = 0; ch < n; ++ch) {
            d->myDevice().TheRxFreq(ch, 146.0125 + ch * 0.025);
            d->myDevice().TheTxFreq(ch, 150.5 + ch * 0.0125);
            d->myDevice().TheRFPower(ch, ch % 2 ? -1 : 0);
        }
        d->myDevice().TotalEEWords(words);
        d->UpdateHomePage();
        return d;
    }
    QString status() const { return main->statusBar()->currentMessage(); }

private slots:
    void initTestCase() {
        main = new frmMain;
        main->show();
        // Quick against the unpaced emulator; the paced tests switch it off.
        // After the main window, which applies the remembered choice.
        SetFastLink(true);
        LinkOptions().tickMs = 80; // on a loaded machine a pseudo-terminal can deliver tens of ms late
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
        QVERIFY(kqtest::Rows(back) == kqtest::Rows(d) && back->IsModified() && !back->IsBusy());
        QVERIFY2(status().contains(radio.device), qPrintable(status()));
        radio.stop();
        QCOMPARE(rowsOf(saved), kqtest::Rows(d));
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
            const QStringList before = kqtest::Rows(d);
            MessageBoxAnswer ok(QMessageBox::Ok);
            c.upload ? Form_Upload::Load(*d) : Form_Download::Load(*d);
            QCOMPARE(ok.text(), c.box);
            QVERIFY2(status().contains(c.status), qPrintable(status()));
            QCOMPARE(kqtest::Rows(d), before);
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
            QDialog box(main); // a modal box of the program's, held for a second
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
        QCOMPARE(rowsOf(saved), kqtest::Rows(d));
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
};

QTEST_MAIN(TestTransferWindows)
#include "test_TransferWindows.moc"
