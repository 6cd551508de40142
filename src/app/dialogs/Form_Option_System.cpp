#include "Form_Option_System.h"

#include "SystemOption.h"
#include "frmDocument.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace kq {

Form_Option_System::Form_Option_System(frmDocument& doc)
    : EditDialog(doc, tr("System Option Edit")) {
    SetOuterSizeTwips(this, 5310, 3180);

    Label_Model = new QLabel(tr("Model No"), this);
    PlaceTwips(Label_Model, 240, 540, 1200, 300);
    Combo_Model = new QComboBox(this);
    PlaceTwips(Combo_Model, 1500, 480, 3450, 380);
    // Named for what it chooses, not for the model chosen: on Linux a screen
    // reader takes that from the label the box is the buddy of, the box's
    // own name being its value.
    Combo_Model->setAccessibleName(tr("Model No"));
    Combo_Model->view()->setAccessibleName(tr("Models"));
    Label_Model->setBuddy(Combo_Model);
    for (const std::string& item : ModelListItems())
        Combo_Model->addItem(QString::fromStdString(item));
    Command_Yes = new QPushButton(tr("OK"), this);
    PlaceTwips(Command_Yes, 600, 1600, 1500, 450);
    Command_Cancel = new QPushButton(tr("Cancel"), this);
    PlaceTwips(Command_Cancel, 3100, 1600, 1500, 450);

    const int index = ModelListIndex(doc.myDevice());
    Combo_Model->setCurrentIndex(index);
    if (index < 0) {
        // A radio read with a model code of its own: say so in the empty
        // list, and let OK act only once a model is chosen.
        Combo_Model->setPlaceholderText(tr("Unknown model (code %1)").arg(doc.myDevice().Model()));
        Command_Yes->setEnabled(false);
        connect(Combo_Model, qOverload<int>(&QComboBox::currentIndexChanged), this,
                [this](int i) { Command_Yes->setEnabled(i >= 0); });
    }

    connect(Command_Yes, &QPushButton::clicked, this, [this] { Command_Yes_Click(); });
    connect(Command_Cancel, &QPushButton::clicked, this, &QWidget::close);
}

void Form_Option_System::Loaded() { Combo_Model->setFocus(Qt::OtherFocusReason); }

void Form_Option_System::Command_Yes_Click() {
    ApplyToTarget(tr("Model choice"), [this](ClassKQxx53& dev) {
        ApplySystemOption(dev, Combo_Model->currentIndex());
        return true;
    });
}

} // namespace kq
