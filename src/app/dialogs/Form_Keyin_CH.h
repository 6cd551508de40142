// The channel edit dialog: one channel's frequencies, spacings and power.
#pragma once

#include "ChannelEdit.h"
#include "EditDialog.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace kq {

class Form_Keyin_CH : public EditDialog, public SingleInstance<Form_Keyin_CH> {
    Q_OBJECT
public:
    explicit Form_Keyin_CH(frmDocument& doc);

    QLineEdit* Text_RxFreq = nullptr;
    QLineEdit* Text_TxFreq = nullptr;
    QLabel* Label_Keyin_Rxfq = nullptr;
    QLabel* Label_Keyin_Txfq = nullptr;
    QLabel* Label_RxMHz = nullptr;
    QLabel* Label_TxMHz = nullptr;
    QCheckBox* Check_RxTx = nullptr;
    QGroupBox* Frame_RxCH_Space = nullptr;
    QGroupBox* Frame_TxCHSpace = nullptr;
    QGroupBox* Frame_RFPower = nullptr;
    QRadioButton* Option_RxCH_Space_12k5 = nullptr;
    QRadioButton* Option_RxCH_Space_25k = nullptr;
    QRadioButton* Option_TxCH_Space_12k5 = nullptr;
    QRadioButton* Option_TxCH_Space_25k = nullptr;
    QRadioButton* Option_RFPower_Low = nullptr;
    QRadioButton* Option_RFPower_High = nullptr;
    QPushButton* Command_OK = nullptr;
    QPushButton* Command_Cancel = nullptr;

    ChannelEditFields Fields() const;
    void Command_OK_Click();

protected:
    // The table the dialog was opened on, whichever is active at OK.
    frmDocument* TargetWindow() const override { return OpenedOn(); }

private:
    friend class SingleInstance<Form_Keyin_CH>;
    void Loaded();
    void Check_RxTx_Click();

    int16_t m_Channel; // the channel its caption names
};

} // namespace kq
