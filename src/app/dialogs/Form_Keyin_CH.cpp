#include "Form_Keyin_CH.h"

#include "frmDocument.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kq {

namespace {
// A framed pair of options at left, width wide: first over second.
QGroupBox* optionPair(QWidget* parent, const QString& title, int left, int width,
                      std::pair<QRadioButton*&, const QString&> first,
                      std::pair<QRadioButton*&, const QString&> second) {
    auto* frame = new QGroupBox(title, parent);
    PlaceTwips(frame, left, 1500, width, 1150);
    int top = 380;
    for (auto& [button, text] : {first, second}) {
        button = new QRadioButton(text, frame);
        PlaceTwips(button, 120, top, 1350, 300);
        top += 360;
    }
    return frame;
}
} // namespace

Form_Keyin_CH::Form_Keyin_CH(frmDocument& doc)
    : EditDialog(doc, tr("Channel Edit")), m_Channel(doc.myDevice().NowCHNum) {
    SetOuterSizeTwips(this, 5230, 4470);

    Label_Keyin_Rxfq = PlaceLabel(this, tr("Receive Frequency:"), 120, 240, 2250);
    Text_RxFreq = PlaceField(this, 9, 2400, 200, 1500);
    Text_RxFreq->setFont(ArialBoldFont(9));
    Text_RxFreq->setAccessibleName(tr("Receive frequency in MHz"));
    Label_RxMHz = PlaceLabel(this, tr("MHz"), 4000, 240, 700);

    Label_Keyin_Txfq = PlaceLabel(this, tr("Transmit Frequency:"), 120, 720, 2250);
    Text_TxFreq = PlaceField(this, 9, 2400, 680, 1500);
    Text_TxFreq->setFont(ArialBoldFont(9));
    Text_TxFreq->setAccessibleName(tr("Transmit frequency in MHz"));
    Label_TxMHz = PlaceLabel(this, tr("MHz"), 4000, 720, 700);

    Check_RxTx = new QCheckBox(tr("Tx=Rx"), this);
    PlaceTwips(Check_RxTx, 3500, 1120, 1300, 300);

    Frame_RxCH_Space = optionPair(this, tr("Rx CH Space"), 120, 1600,
                                  {Option_RxCH_Space_12k5, tr("12.5KHz")}, {Option_RxCH_Space_25k, tr("25KHz")});
    Frame_TxCHSpace = optionPair(this, tr("Tx CH Space"), 1800, 1600,
                                 {Option_TxCH_Space_12k5, tr("12.5KHz")}, {Option_TxCH_Space_25k, tr("25KHz")});
    Frame_RFPower = optionPair(this, tr("RF Power"), 3480, 1500, {Option_RFPower_Low, tr("LOW")},
                               {Option_RFPower_High, tr("HIGH")});

    Command_OK = new QPushButton(tr("OK"), this);
    PlaceTwips(Command_OK, 900, 2900, 1400, 450);
    Command_Cancel = new QPushButton(tr("CANCEL"), this);
    PlaceTwips(Command_Cancel, 2800, 2900, 1400, 450);

    connect(Check_RxTx, &QCheckBox::toggled, this, [this] { Check_RxTx_Click(); });
    connect(Command_OK, &QPushButton::clicked, this, [this] { Command_OK_Click(); });
    connect(Command_Cancel, &QPushButton::clicked, this, &QWidget::close);
    // Every key on OK means OK, the way the dialog always worked; Tab still
    // moves on.
    OnKey(Command_OK, [this](int key, const QString& text) {
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab || text.isEmpty()) return false;
        Command_OK_Click();
        return true;
    });

    const ChannelEditFields f = LoadChannelEdit(doc.myDevice());
    setWindowTitle(QString::fromStdString(ChannelEditCaption(doc.myDevice())));
    (f.High ? Option_RFPower_High : Option_RFPower_Low)->setChecked(true);
    (f.Rx25k ? Option_RxCH_Space_25k : Option_RxCH_Space_12k5)->setChecked(true);
    (f.Tx25k ? Option_TxCH_Space_25k : Option_TxCH_Space_12k5)->setChecked(true);
    Text_RxFreq->setText(QString::fromStdString(f.RxText));
    Text_TxFreq->setText(QString::fromStdString(f.TxText));
    Check_RxTx->setChecked(false);

    SetFocusPosition(Text_RxFreq, 0);
    SetFocusPosition(Text_TxFreq, 1);
    SetFocusPosition(Option_RxCH_Space_12k5, 2);
    SetFocusPosition(Option_RxCH_Space_25k, 3);
    SetFocusPosition(Option_TxCH_Space_12k5, 4);
    SetFocusPosition(Option_TxCH_Space_25k, 5);
    SetFocusPosition(Option_RFPower_Low, 6);
    SetFocusPosition(Option_RFPower_High, 7);
    SetFocusPosition(Command_OK, 8, false);
    SetFocusPosition(Command_Cancel, 9, false);
    SetFocusPosition(Check_RxTx, 10);
    // Enter walks the focus positions; Tab follows the layout, where Tx=Rx
    // sits under the transmit row, above the option groups.
    setTabOrder(Text_TxFreq, Check_RxTx);
    NowTabIndex = 0;
}

void Form_Keyin_CH::Loaded() {
    Text_RxFreq->setFocus(Qt::OtherFocusReason);
    Text_RxFreq->selectAll();
}

void Form_Keyin_CH::Check_RxTx_Click() {
    const bool separate = !Check_RxTx->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{Text_TxFreq, Label_Keyin_Txfq, Label_TxMHz,
                                                      Frame_TxCHSpace, Option_TxCH_Space_12k5,
                                                      Option_TxCH_Space_25k})
        w->setEnabled(separate);
}

ChannelEditFields Form_Keyin_CH::Fields() const {
    ChannelEditFields f;
    f.RxText = Text_RxFreq->text().toStdString();
    f.TxText = Text_TxFreq->text().toStdString();
    f.TxEqualsRx = Check_RxTx->isChecked();
    f.Rx25k = Option_RxCH_Space_25k->isChecked();
    f.Tx25k = Option_TxCH_Space_25k->isChecked();
    f.High = Option_RFPower_High->isChecked();
    return f;
}

void Form_Keyin_CH::Command_OK_Click() {
    // The channel named in the caption, not the row current now: the user
    // may have clicked another row while the dialog was open.
    ApplyToTarget(tr("Channel edit"), [this](ClassKQxx53& dev) {
        return ApplyChannelEdit(dev, m_Channel, Fields()) == ChannelEditResult::Written;
    });
}

} // namespace kq
