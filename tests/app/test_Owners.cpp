// Who owns what in the desktop program: the table's current channel, what
// the main window hears from a table, and the windows kept to one at a time.
#include "Form_AutoFreq.h"
#include "Form_Backups.h"
#include "Form_Guide.h"
#include "Form_Keyin_CH.h"
#include "Form_Ports.h"
#include "Form_Readme.h"
#include "TableCsv.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QSignalSpy>
#include <QTest>
#include <QtWidgets>

using namespace kq;

namespace {

void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Types each text into its field, then presses the dialog's OK.
template <class Dialog>
void Answer(Dialog* dlg, std::initializer_list<std::pair<QLineEdit*, const char*>> fields) {
    for (const auto& [field, text] : fields) field->setText(text);
    dlg->Command_OK_Click();
    Settle();
}

QString Field(const frmMain& m, const char* name) { return m.findChild<QLabel*>(name)->text(); }

} // namespace

class TestOwners : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<frmMain> main;

    // The table's two views of the current channel: the device's and the list's.
    static void sameCurrent(frmDocument* d, int ch) {
        QCOMPARE(int(d->myDevice().NowCHNum), ch);
        QCOMPARE(d->List()->currentRow(), ch);
    }

private slots:
    void initTestCase() {
        QCoreApplication::setOrganizationName("kqprogrammer-owners-test");
        for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
                QSettings::setPath(format, scope, dir.filePath("settings"));
        qputenv("XDG_STATE_HOME", dir.filePath("state").toLocal8Bit());
        main = std::make_unique<frmMain>();
        main->show();
    }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != main.get() && w->isVisible()) w->close();
        for (frmDocument* d : main->Documents()) d->CloseAnswered();
        Settle();
    }

    void theCurrentChannelIsTheDocumentsAndTheListFollowsIt() {
        frmDocument* d = main->NewDocument();
        sameCurrent(d, 0);
        // The user moves on the list: the device follows.
        d->List()->setCurrentRow(4);
        sameCurrent(d, 4);
        // The auto fill ends on the last channel it filled, as it promises.
        d->OpenAutoFreq();
        Form_AutoFreq* fill = Form_AutoFreq::Open();
        QVERIFY(fill);
        Answer(fill, {{fill->Text_StartCH, "3"},
                      {fill->Text_StopCH, "9"},
                      {fill->Text_StartFreq, "146"},
                      {fill->Text_SpaceFreq, "25"}});
        sameCurrent(d, 9);
        QVERIFY(d->List()->item(9)->text().contains("146.150000"));
        // Undo and redo change the table, not the row the user is on.
        d->List()->setCurrentRow(2);
        d->Undo();
        sameCurrent(d, 2);
        QVERIFY(d->List()->item(9)->text().contains("NONE"));
        d->Redo();
        sameCurrent(d, 2);
        // A channel edit writes the channel it was opened on, and leaves the
        // current one where the user has moved it since.
        d->SetCurrentChannel(1);
        sameCurrent(d, 1);
        d->OpenChannelEdit();
        Form_Keyin_CH* edit = Form_Keyin_CH::Open();
        QVERIFY(edit);
        d->List()->setCurrentRow(12);
        Answer(edit, {{edit->Text_RxFreq, "147.5"}, {edit->Text_TxFreq, "147.5"}});
        sameCurrent(d, 12);
        QVERIFY(d->List()->item(1)->text().contains("147.500000"));
        QVERIFY(d->List()->item(12)->text().contains("NONE"));
        // An imported table replaces the channels, not the current row.
        const QString csv = dir.filePath("table.csv");
        QVERIFY(TableCsv::ExportTo(*d, csv, CsvLayout::Kq));
        frmDocument* other = main->NewDocument();
        other->SetCurrentChannel(14);
        QVERIFY(TableCsv::ImportFrom(*other, csv));
        sameCurrent(other, 14);
        QVERIFY(other->List()->item(1)->text().contains("147.500000"));
    }

    void theTableTellsTheMainWindowBySignals() {
        frmDocument* d = main->NewDocument();
        QSignalSpy told(d, &frmDocument::statusChanged);
        d->SetCaption("Renamed");
        QCOMPARE(told.count(), 1);
        QCOMPARE(Field(*main, "Label_Table"), QString("Renamed"));
        d->SetTransferResult(false, "Read failed.");
        QCOMPARE(told.count(), 2);
        QCOMPARE(Field(*main, "Label_Transfer"), QString("Read failed."));
        // An edit is a change of the title's mark and of the band hint.
        d->myDevice().TheRxFreq(3, 440.0);
        d->MarkModified();
        QVERIFY(told.count() >= 3);
        QVERIFY(d->isWindowModified());
        QVERIFY(Field(*main, "Label_BandHint").endsWith("channel 3"));
        // The edit cleared the transfer result, and the status bar knows.
        QCOMPARE(Field(*main, "Label_Transfer"), QString());
        // The clipboard is the one the main window gave every table.
        frmDocument* other = main->NewDocument();
        d->List()->clearSelection();
        d->List()->item(3)->setSelected(true);
        d->CopyChannels();
        QVERIFY(!main->Clipboard().Empty());
        other->List()->clearSelection();
        other->List()->item(0)->setSelected(true);
        other->PasteChannels();
        QCOMPARE(other->myDevice().TheRxFreq(0), 440.0);
    }

    // Each such window: asked for twice, the one open is brought back; closed
    // and asked for at once (its deletion still pending), a new one shows
    // and stays.
    void eachSingleWindowComesBackAndAReopenedOneStays() {
        frmDocument* d = main->NewDocument();
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
            QVERIFY2(first && first->isVisible(), name);
            QVERIFY2(show() == first, name);
            first->close();
            QPointer<QWidget> again = show();
            QVERIFY2(again && again != first, name);
            Settle();
            QVERIFY2(again && again->isVisible(), name);
            again->close();
            Settle();
        }
    }
};

QTEST_MAIN(TestOwners)
#include "test_Owners.moc"
