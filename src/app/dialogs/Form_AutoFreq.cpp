#include "Form_AutoFreq.h"

#include "frmDocument.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kq {

Form_AutoFreq::Form_AutoFreq(frmDocument& doc) : EditDialog(doc, tr("Auto Frequency")) {
    SetOuterSizeTwips(this, 5900, 4300);

    PlaceLabel(this, tr("Targer Channel"), 120, 280, 1750);
    PlaceLabel(this, tr("From"), 1950, 280, 550);
    Text_StartCH = PlaceField(this, 2, 2550, 240, 600);
    PlaceLabel(this, tr("To"), 3300, 280, 400);
    Text_StopCH = PlaceField(this, 2, 3750, 240, 600);
    PlaceLabel(this, tr("CH"), 4450, 280, 500);

    PlaceLabel(this, tr("Start Frequency"), 120, 840, 2000);
    Text_StartFreq = PlaceField(this, 9, 2550, 800, 1800);
    PlaceLabel(this, tr("MHz"), 4450, 840, 600);

    PlaceLabel(this, tr("Space Frequency"), 120, 1400, 2000);
    Text_SpaceFreq = PlaceField(this, 9, 2550, 1360, 1800);
    PlaceLabel(this, tr("KHz"), 4450, 1400, 600);
    Text_StartCH->setAccessibleName(tr("First channel"));
    Text_StopCH->setAccessibleName(tr("Last channel"));
    Text_StartFreq->setAccessibleName(tr("Start frequency in MHz"));
    Text_SpaceFreq->setAccessibleName(tr("Space frequency in kHz"));

    Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::NoFrame);
    PlaceTwips(Frame1, 120, 1900, 5500, 450);
    Option_RxTx = new QRadioButton(tr("Rx=Tx"), Frame1);
    PlaceTwips(Option_RxTx, 0, 60, 1700, 300);
    Option_OnlyRx = new QRadioButton(tr("Rx Only"), Frame1);
    PlaceTwips(Option_OnlyRx, 1850, 60, 1700, 300);
    Option_OnlyTx = new QRadioButton(tr("Tx Only"), Frame1);
    PlaceTwips(Option_OnlyTx, 3700, 60, 1700, 300);

    Command_OK = new QPushButton(tr("OK"), this);
    PlaceTwips(Command_OK, 1000, 2750, 1500, 450);
    Command_Cancel = new QPushButton(tr("CANCEL"), this);
    PlaceTwips(Command_Cancel, 3300, 2750, 1500, 450);

    connect(Option_RxTx, &QRadioButton::clicked, this, [this] { FillMode = FillRxTx; });
    connect(Option_OnlyRx, &QRadioButton::clicked, this, [this] { FillMode = FillRxOnly; });
    connect(Option_OnlyTx, &QRadioButton::clicked, this, [this] { FillMode = FillTxOnly; });
    connect(Command_OK, &QPushButton::clicked, this, [this] { Command_OK_Click(); });
    connect(Command_Cancel, &QPushButton::clicked, this, &QWidget::close);
    auto enterOnly = [](std::function<void()> run) {
        return [run](int key, const QString&) {
            if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
            run();
            return true;
        };
    };
    OnKey(Command_OK, enterOnly([this] { Command_OK_Click(); }));
    OnKey(Command_Cancel, enterOnly([this] { close(); }));

    FillMode = FillRxTx;
    Option_RxTx->setChecked(true);

    SetFocusPosition(Text_StartCH, 0);
    SetFocusPosition(Text_StopCH, 1);
    SetFocusPosition(Text_StartFreq, 2);
    SetFocusPosition(Text_SpaceFreq, 3);
    SetFocusPosition(Option_RxTx, 4);
    SetFocusPosition(Option_OnlyRx, 5);
    SetFocusPosition(Option_OnlyTx, 6);
    SetFocusPosition(Command_OK, 7);
    SetFocusPosition(Command_Cancel, 8);
    NowTabIndex = 0;
}

void Form_AutoFreq::Loaded() { Text_StartCH->setFocus(Qt::OtherFocusReason); }

AutoFillFields Form_AutoFreq::Fields() const {
    AutoFillFields f;
    f.StartCH = Text_StartCH->text().toStdString();
    f.StopCH = Text_StopCH->text().toStdString();
    f.StartFreq = Text_StartFreq->text().toStdString();
    f.SpaceFreq = Text_SpaceFreq->text().toStdString();
    f.FillMode = FillMode;
    return f;
}

void Form_AutoFreq::Command_OK_Click() {
    ApplyToTarget(tr("Auto frequency"), [this](ClassKQxx53& dev) {
        AutoFill(dev, Fields());
        return true;
    });
}

} // namespace kq
