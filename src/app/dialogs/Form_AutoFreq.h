// The auto frequency dialog: evenly spaced frequencies over a channel range.
#pragma once

#include "AutoFill.h"
#include "EditDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QFrame;

namespace kq {

class Form_AutoFreq : public EditDialog, public SingleInstance<Form_AutoFreq> {
    Q_OBJECT
public:
    explicit Form_AutoFreq(frmDocument& doc);

    QLineEdit* Text_StartCH = nullptr;
    QLineEdit* Text_StopCH = nullptr;
    QLineEdit* Text_StartFreq = nullptr;
    QLineEdit* Text_SpaceFreq = nullptr;
    QFrame* Frame1 = nullptr;
    QRadioButton* Option_RxTx = nullptr;
    QRadioButton* Option_OnlyRx = nullptr;
    QRadioButton* Option_OnlyTx = nullptr;
    QPushButton* Command_OK = nullptr;
    QPushButton* Command_Cancel = nullptr;

    int32_t FillMode = FillRxTx;

    AutoFillFields Fields() const;
    void Command_OK_Click();

private:
    friend class SingleInstance<Form_AutoFreq>;
    void Loaded();
};

} // namespace kq
