// The editing dialogs driven offscreen through the channel table window and
// the main window's menus: typing, Enter, OK, and the rows and labels after.
#include "GuiTestSupport.h"

#include "Form_AutoFreq.h"
#include "Form_Keyin_CH.h"
#include "Form_Option_System.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace kq;
using namespace kqtest;

class TestEditDialogs : public QObject {
    Q_OBJECT

    frmMain main;

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
    void initTestCase() { main.show(); }
    void cleanup() { CloseAll(); } // the dialogs close with their table

    void doubleClickEnterAndOptionChannelEditTheirRow() {
        frmDocument* d = FreshDocument();
        const std::function<void()> openers[] = {
            [d] { emit d->List()->itemDoubleClicked(d->List()->currentItem()); },
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

    void invalidValueKeepsTheDialogAndTheChannel() {
        frmDocument* d = FreshDocument();
        Form_Keyin_CH* dlg = editRow(d, 2);
        typeBoth(dlg, "146.025", "0");
        MessageBoxAnswer ok(QMessageBox::Ok);
        QTest::mouseClick(dlg->Command_OK, Qt::LeftButton);
        QCOMPARE(ok.text(), QString("A Invalid Frequency Value."));
        QVERIFY(Form_Keyin_CH::Open() == dlg && dlg->Text_RxFreq->text() == "146.025" && !d->IsModified());
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

    void dialogsCloseWithTheirWindowAndRespectABusyOne() {
        frmDocument* d = FreshDocument();
        d->OpenAutoFreq();
        d->OpenSystemOption();
        QVERIFY(editRow(d, 1) && Form_AutoFreq::Open() && Form_Option_System::Open());
        d->parentWidget()->close();
        Settle();
        QVERIFY(!Form_Keyin_CH::Open() && !Form_AutoFreq::Open() && !Form_Option_System::Open());
        // OK on a window in the middle of a radio transfer changes nothing.
        frmDocument* busy = FreshDocument();
        Form_Keyin_CH* edit = editRow(busy, 1);
        typeBoth(edit, "146.0125", "146.0125");
        busy->SetBusy(true);
        MessageBoxAnswer ok(QMessageBox::Ok);
        QTest::mouseClick(edit->Command_OK, Qt::LeftButton);
        QVERIFY(ok.text().contains("transfer") && busy->myDevice().TheRxFreq(1) == 0.0);
        busy->SetBusy(false);
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
    }
};

QTEST_MAIN(TestEditDialogs)
#include "test_EditDialogs.moc"
