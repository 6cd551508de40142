// The editing dialogs driven offscreen through the channel table window:
// typing, Enter, OK, and the rows and labels afterwards.
#include "GuiTestSupport.h"

#include "ChannelText.h"
#include "DocumentHooks.h"
#include "Form_AutoFreq.h"
#include "Form_Keyin_CH.h"
#include "Form_Option_System.h"
#include "InstallEditDialogs.h"
#include "ModuleKQDevice.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace kq;
using kqtest::MessageBoxAnswer;

class TestEditDialogs : public QObject {
    Q_OBJECT

    frmMain* main = nullptr;

    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Replaces a field's text the way a user does: focus (selects all), type.
    static void type(QLineEdit* e, const QString& text) {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
    }
    Form_Keyin_CH* editRow(frmDocument* d, int row) {
        QListWidgetItem* item = d->List()->item(row);
        d->List()->setCurrentItem(item);
        emit d->List()->itemDoubleClicked(item);
        Form_Keyin_CH* dlg = Form_Keyin_CH::Open();
        if (dlg && !QTest::qWaitForWindowExposed(dlg)) return nullptr;
        return dlg;
    }

private slots:
    void initTestCase() {
        InstallEditDialogs();
        main = new frmMain;
        main->show();
    }
    void cleanupTestCase() { delete main; }
    void cleanup() {
        MessageBoxAnswer discard(QMessageBox::Discard);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<EditDialog*>(w)) w->close();
        main->mdiArea()->closeAllSubWindows();
        settle();
    }

    void doubleClickEditsThatChannel() {
        frmDocument* d = kqtest::FreshDocument();
        d->myDevice().TheRxCHSpace(5, 1); // a stored 1 shows as 25KHz
        d->UpdateHomePage();
        Form_Keyin_CH* dlg = editRow(d, 5);
        QVERIFY(dlg);
        QCOMPARE(dlg->windowTitle(), QString("Channel 5"));
        QCOMPARE(dlg->Text_RxFreq->text(), QString("0"));
        QVERIFY(dlg->Option_RxCH_Space_25k->isChecked());
        QVERIFY(dlg->Option_TxCH_Space_12k5->isChecked());
        QVERIFY(dlg->Option_RFPower_Low->isChecked());
        QCOMPARE(dlg->Text_RxFreq->maxLength(), 9);
        QCOMPARE(dlg->focusWidget(), dlg->Text_RxFreq);
        // Opening again keeps the one dialog.
        documentHooks().ChannelEdit(*d);
        QCOMPARE(Form_Keyin_CH::Open(), dlg);

        type(dlg->Text_RxFreq, "150,0125");
        QTest::mouseClick(dlg->Check_RxTx, Qt::LeftButton, {}, QPoint(5, dlg->Check_RxTx->height() / 2));
        QVERIFY(dlg->Check_RxTx->isChecked());
        QVERIFY(!dlg->Text_TxFreq->isEnabled());
        QVERIFY(!dlg->Frame_TxCHSpace->isEnabled());
        QVERIFY(!dlg->Label_TxMHz->isEnabled());
        dlg->Option_RFPower_High->setChecked(true);
        QTest::mouseClick(dlg->Command_OK, Qt::LeftButton);
        settle();
        QVERIFY(!Form_Keyin_CH::Open());
        const ClassKQxx53& dev = d->myDevice();
        QCOMPARE(dev.TheRxFreq(5), 150.0125);
        QCOMPARE(dev.TheTxFreq(5), 150.0125);
        QCOMPARE(dev.TheRxCHSpace(5), -1);
        QCOMPARE(dev.TheTxCHSpace(5), -1);
        QCOMPARE(dev.TheRFPower(5), -1);
        QCOMPARE(d->List()->item(5)->text(), QString::fromStdString(ChannelRow(dev, 5)));
        QVERIFY(d->List()->item(5)->text().contains("150.012500"));
        QVERIFY(d->IsModified());
    }

    void enterWalksTheSelectedControls() {
        frmDocument* d = kqtest::FreshDocument();
        Form_Keyin_CH* dlg = editRow(d, 0);
        QVERIFY(dlg);
        QCOMPARE(dlg->windowTitle(), QString("Channel 0"));
        auto enterFrom = [dlg](QWidget* w) {
            QTest::keyClick(w, Qt::Key_Return);
            return dlg->focusWidget();
        };
        QCOMPARE(enterFrom(dlg->Text_RxFreq), dlg->Text_TxFreq);
        QCOMPARE(enterFrom(dlg->Text_TxFreq), dlg->Option_RxCH_Space_12k5);
        QCOMPARE(enterFrom(dlg->Option_RxCH_Space_12k5), dlg->Option_TxCH_Space_12k5);
        QCOMPARE(enterFrom(dlg->Option_TxCH_Space_12k5), dlg->Option_RFPower_Low);
        QCOMPARE(enterFrom(dlg->Option_RFPower_Low), dlg->Command_OK);
        // With Tx=Rx the transmit controls are skipped.
        dlg->Check_RxTx->setFocus();
        QTest::keyClick(dlg->Check_RxTx, Qt::Key_Space);
        QVERIFY(dlg->Check_RxTx->isChecked());
        QVERIFY(!dlg->Text_TxFreq->isEnabled());
        QCOMPARE(enterFrom(dlg->Check_RxTx), dlg->Text_RxFreq);
        QCOMPARE(enterFrom(dlg->Text_RxFreq), dlg->Option_RxCH_Space_12k5);
        QCOMPARE(enterFrom(dlg->Option_RxCH_Space_12k5), dlg->Option_RFPower_Low);
        // An empty channel: OK closes without a change.
        QCOMPARE(dlg->Text_TxFreq->text(), QString("0"));
        dlg->Command_OK->setFocus();
        QTest::keyClick(dlg->Command_OK, Qt::Key_X); // any key on OK is OK
        settle();
        QVERIFY(!Form_Keyin_CH::Open());
        QVERIFY(!d->IsModified());
        QCOMPARE(d->myDevice().TheRxFreq(0), 0.0);
    }

    void invalidValueKeepsTheDialogAndTheChannel() {
        frmDocument* d = kqtest::FreshDocument();
        d->myDevice().TheRxFreq(2, 146.0125);
        d->myDevice().TheTxFreq(2, 146.0125);
        d->UpdateHomePage();
        const QStringList before = kqtest::Rows(d);
        Form_Keyin_CH* dlg = editRow(d, 2);
        QVERIFY(dlg);
        QCOMPARE(dlg->Text_RxFreq->text(), QString("146.0125"));
        for (const QString& rx : {QString("146.0125 "), QString("")}) {
            type(dlg->Text_RxFreq, rx);
            MessageBoxAnswer ok(QMessageBox::Ok);
            QTest::mouseClick(dlg->Command_OK, Qt::LeftButton);
            QCOMPARE(ok.text(), QString("A Invalid Frequency Value."));
            QCOMPARE(Form_Keyin_CH::Open(), dlg);
            QCOMPARE(dlg->Text_RxFreq->text(), rx);
        }
        // One side zero in separate mode is refused too, not dropped.
        type(dlg->Text_RxFreq, "146.025");
        type(dlg->Text_TxFreq, "0");
        {
            MessageBoxAnswer ok(QMessageBox::Ok);
            QTest::mouseClick(dlg->Command_OK, Qt::LeftButton);
            QCOMPARE(ok.count(), 1);
        }
        QCOMPARE(kqtest::Rows(d), before);
        QVERIFY(!d->IsModified());
        QTest::mouseClick(dlg->Command_Cancel, Qt::LeftButton);
        settle();
        QVERIFY(!Form_Keyin_CH::Open());
        QCOMPARE(kqtest::Rows(d), before);
    }

    void autoFreqFillsTypedWithEnter() {
        frmDocument* d = kqtest::FreshDocument();
        documentHooks().AutoFreq(*d);
        Form_AutoFreq* dlg = Form_AutoFreq::Open();
        QVERIFY(dlg && QTest::qWaitForWindowExposed(dlg));
        QCOMPARE(dlg->windowTitle(), QString("Auto Frequency"));
        QCOMPARE(dlg->focusWidget(), dlg->Text_StartCH);
        QCOMPARE(dlg->FillMode, 0);
        for (const char* text : {"0", "15", "146.0125", "12.5"}) {
            QWidget* field = dlg->focusWidget();
            QTest::keyClicks(field, text);
            QTest::keyClick(field, Qt::Key_Return);
        }
        QCOMPARE(dlg->focusWidget(), dlg->Option_RxTx);
        QTest::keyClick(dlg->Option_RxTx, Qt::Key_Return);
        QCOMPARE(dlg->focusWidget(), dlg->Command_OK);
        QTest::keyClick(dlg->Command_OK, Qt::Key_Return);
        settle();
        QVERIFY(!Form_AutoFreq::Open());
        const QStringList r = kqtest::Rows(d);
        QVERIFY(r[0].startsWith("0   0  146.012500  12.5K    146.012500"));
        QVERIFY(r[3].startsWith("3   3  146.050000  12.5K    146.050000"));
        QVERIFY(r[15].startsWith("15  F  146.200000  12.5K    146.200000"));
        QVERIFY(d->IsModified());
    }

    void autoFreqRefusalsWriteNothing() {
        frmDocument* d = kqtest::FreshDocument();
        documentHooks().AutoFreq(*d);
        Form_AutoFreq* dlg = Form_AutoFreq::Open();
        QVERIFY(dlg);
        QTest::mouseClick(dlg->Option_OnlyRx, Qt::LeftButton, {}, QPoint(5, dlg->Option_OnlyRx->height() / 2));
        QCOMPARE(dlg->FillMode, 1);
        const QStringList before = kqtest::Rows(d);
        struct Case {
            const char *from, *to, *start, *space, *message;
        };
        for (const Case& c : {Case{"5", "2", "146", "12.5", " A Invalid Channel Number."},
                              Case{"0", "15", "999.9", "12.5", " A Invalid Frequency Value. CH8:1000"}}) {
            type(dlg->Text_StartCH, c.from);
            type(dlg->Text_StopCH, c.to);
            type(dlg->Text_StartFreq, c.start);
            type(dlg->Text_SpaceFreq, c.space);
            MessageBoxAnswer ok(QMessageBox::Ok);
            QTest::mouseClick(dlg->Command_OK, Qt::LeftButton);
            QCOMPARE(ok.text(), QString(c.message));
            QCOMPARE(Form_AutoFreq::Open(), dlg);
            QCOMPARE(dlg->Text_StartFreq->text(), QString(c.start));
        }
        QCOMPARE(kqtest::Rows(d), before);
        QVERIFY(!d->IsModified());
        // Rx only then leaves the transmit side as it was.
        type(dlg->Text_StartFreq, "146,0125");
        type(dlg->Text_StopCH, "15");
        QTest::mouseClick(dlg->Command_OK, Qt::LeftButton);
        settle();
        QVERIFY(!Form_AutoFreq::Open());
        QVERIFY(kqtest::Rows(d)[15].startsWith("15  F  146.200000  12.5K       NONE"));
        // A new opening starts empty and in Rx=Tx.
        documentHooks().AutoFreq(*d);
        dlg = Form_AutoFreq::Open();
        QVERIFY(dlg->Text_StartFreq->text().isEmpty());
        QVERIFY(dlg->Option_RxTx->isChecked());
    }

    void systemOptionSwitchesTheModel() {
        frmDocument* d = kqtest::FreshDocument();
        d->myDevice().TheRxFreq(1, 146.0125);
        d->UpdateHomePage();
        const QString row1 = kqtest::Rows(d)[1];
        documentHooks().SystemOption(*d);
        Form_Option_System* dlg = Form_Option_System::Open();
        QVERIFY(dlg);
        QCOMPARE(dlg->windowTitle(), QString("System Option Edit"));
        QCOMPARE(dlg->Combo_Model->count(), 4);
        QCOMPARE(dlg->Combo_Model->currentText(), QString("KQ-0453    IF -45MHz"));
        dlg->Combo_Model->setCurrentIndex(3);
        QTest::mouseClick(dlg->Command_Yes, Qt::LeftButton);
        settle();
        QVERIFY(!Form_Option_System::Open());
        QCOMPARE(d->myDevice().Model(), 3);
        QCOMPARE(d->LabelModel()->text(), QString("KQ-0153"));
        QCOMPARE(d->LabelRFIF()->text(), QString("21.4 MHz"));
        QCOMPARE(kqtest::Rows(d)[1], row1);

        // A model code without an item: nothing selected, OK waits for a choice.
        d->myDevice().Model(9);
        documentHooks().SystemOption(*d);
        dlg = Form_Option_System::Open();
        QCOMPARE(dlg->Combo_Model->currentIndex(), -1);
        QVERIFY(dlg->Combo_Model->placeholderText().contains("9"));
        QVERIFY(!dlg->Command_Yes->isEnabled());
        dlg->Combo_Model->setCurrentIndex(0);
        QVERIFY(dlg->Command_Yes->isEnabled());
        QTest::mouseClick(dlg->Command_Cancel, Qt::LeftButton);
        settle();
        QCOMPARE(d->myDevice().Model(), 9);
        QCOMPARE(d->LabelModel()->text(), QString("KQ-0153"));
    }

    void dialogsCloseWithTheirWindowAndRespectABusyOne() {
        frmDocument* d = kqtest::FreshDocument();
        documentHooks().AutoFreq(*d);
        documentHooks().SystemOption(*d);
        Form_Keyin_CH* edit = editRow(d, 1);
        QVERIFY(edit && Form_AutoFreq::Open() && Form_Option_System::Open());
        d->parentWidget()->close();
        settle();
        QVERIFY(!Form_Keyin_CH::Open());
        QVERIFY(!Form_AutoFreq::Open());
        QVERIFY(!Form_Option_System::Open());

        // OK on a window in the middle of a radio transfer changes nothing.
        frmDocument* busy = kqtest::FreshDocument();
        edit = editRow(busy, 1);
        type(edit->Text_RxFreq, "146.0125");
        type(edit->Text_TxFreq, "146.0125");
        busy->SetBusy(true);
        {
            MessageBoxAnswer ok(QMessageBox::Ok);
            QTest::mouseClick(edit->Command_OK, Qt::LeftButton);
            QVERIFY(ok.text().contains("transfer"));
        }
        QCOMPARE(busy->myDevice().TheRxFreq(1), 0.0);
        busy->SetBusy(false);
        QTest::mouseClick(edit->Command_OK, Qt::LeftButton);
        settle();
        QCOMPARE(busy->myDevice().TheRxFreq(1), 146.0125);
    }
};

QTEST_MAIN(TestEditDialogs)
#include "test_EditDialogs.moc"
