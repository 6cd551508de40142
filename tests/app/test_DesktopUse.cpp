// What a technician expects of a desktop tool, driven offscreen: the window
// on screen, undo, files from anywhere, settings kept between runs, the
// context menu, the band hint, print preview and CSV.
#include "GuiTestSupport.h"

#include "ChannelFile.h"
#include "Form_AutoFreq.h"
#include "Form_Keyin_CH.h"
#include "Form_Option_System.h"
#include "KqSerialPort.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
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
        dlg->Check_RxTx->setChecked(true);
        dlg->Command_OK_Click();
        Settle();
    }
    static QStringList texts(const QList<QAction*>& actions) {
        QStringList t;
        for (QAction* a : actions) t << a->text();
        return t;
    }

private slots:
    void init() { QSettings().clear(); }
    void cleanup() { KqSerialPort::SetPortMap({}); }

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
            [d] {
                d->OpenAutoFreq(); // a fill of all 16 channels
                Form_AutoFreq* f = Form_AutoFreq::Open();
                for (const auto& [field, text] : {QPair<QLineEdit*, QString>{f->Text_StartCH, "0"}, {f->Text_StopCH, "15"},
                                                  {f->Text_StartFreq, "146"}, {f->Text_SpaceFreq, "12.5"}})
                    field->setText(text);
                f->Command_OK_Click();
            },
            [d] { editChannel(d, 2, "150.5"); },
            [d] { Select(d, {2}); MenuItem("&EDIT", "CU&T")->trigger(); },
            [d] { Select(d, {10}); MenuItem("&EDIT", "&PASTE")->trigger(); },
            [d] { Select(d, {11}); MenuItem("&EDIT", "&DELETE")->trigger(); },
            [d] {
                d->OpenSystemOption();
                Form_Option_System::Open()->Combo_Model->setCurrentIndex(0);
                Form_Option_System::Open()->Command_Yes_Click();
            },
            [d] { // as the reading window leaves a table read from the radio
                d->myDevice().TheRxFreq(15, 160.0);
                d->UpdateHomePage();
                d->MarkModified();
            },
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
        QVERIFY(d->FillReport().contains("FileName : " + d->Caption()));
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
        // A save is the new clean state: undoing from it asks again, redoing to it does not.
        QVERIFY(d->SaveTo(dir.filePath("undo.KQ")));
        QVERIFY(!d->isWindowModified());
        MenuItem("&EDIT", "&UNDO")->trigger();
        {
            MessageBoxAnswer cancel(QMessageBox::Cancel);
            QVERIFY(!d->parentWidget()->close());
            QCOMPARE(cancel.count(), 1);
        }
        MenuItem("&EDIT", "&REDO")->trigger();
        MessageBoxAnswer none(QMessageBox::Cancel);
        QVERIFY(d->parentWidget()->close());
        QCOMPARE(none.count(), 0);
    }
};

QTEST_MAIN(TestDesktopUse)
#include "test_DesktopUse.moc"
