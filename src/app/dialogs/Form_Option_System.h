// The system option dialog: which radio model a channel table is for.
#pragma once

#include "EditDialog.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace kq {

class Form_Option_System : public EditDialog, public SingleInstance<Form_Option_System> {
    Q_OBJECT
public:
    explicit Form_Option_System(frmDocument& doc);

    QLabel* Label_Model = nullptr;
    QComboBox* Combo_Model = nullptr;
    QPushButton* Command_Yes = nullptr;
    QPushButton* Command_Cancel = nullptr;

    void Command_Yes_Click();

private:
    friend class SingleInstance<Form_Option_System>;
    void Loaded();
};

} // namespace kq
