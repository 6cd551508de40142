#include "Form_Ports.h"

#include "PortFacts.h"
#include "SerialPorts.h"
#include "SingleWindow.h"
#include "frmMain.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

namespace kq {

Form_Ports* Form_Ports::ShowPorts(frmMain& main) {
    SingleWindow<Form_Ports>::Show([&main] { return new Form_Ports(main); });
    return SingleWindow<Form_Ports>::Open();
}

Form_Ports::Form_Ports(frmMain& main) : QDialog(&main), m_Main(main) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Serial Ports"));
    auto* layout = new QVBoxLayout(this);
    Label_Source = new QLabel(this);
    Label_Source->setWordWrap(true);
    layout->addWidget(Label_Source);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    QStringList known;
    for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts()) known << p.systemLocation();
    for (int i = 0; i < kComPortCount; ++i) {
        auto* c = new QComboBox(this);
        c->setEditable(true); // a pseudo-terminal or odd adapter is typed in
        c->addItem(QString());
        c->addItems(known);
        c->setMinimumWidth(220);
        form->addRow(QString::fromStdString(ComPortName(i + 1)), c);
        Combo_Port[i] = c;
    }
    ShowChoice();
    Label_Source->setText(
        tr("The radio is searched on COM4 down to COM1; the lowest port that answers is used. "
           "Leave a port empty to skip it."));
    Text_Check = new QPlainTextEdit(this);
    Text_Check->setReadOnly(true);
    Text_Check->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text_Check->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Text_Check->setMinimumSize(560, 160);
    layout->addWidget(new QLabel(tr("Port check:"), this));
    layout->addWidget(Text_Check);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Reset, this);
    buttons->button(QDialogButtonBox::Reset)->setText(tr("System list"));
    QPushButton* check = buttons->addButton(tr("Check"), QDialogButtonBox::ActionRole);
    connect(check, &QPushButton::clicked, this, [this] { CheckPorts(); });
    layout->addWidget(buttons);
    CheckPorts();
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        close();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    connect(buttons->button(QDialogButtonBox::Reset), &QPushButton::clicked, this, [this] {
        m_Main.SetPortChoice({});
        ShowChoice();
        CheckPorts();
    });
}

void Form_Ports::CheckPorts() {
    const QStringList searched = Chosen();
    QStringList others;
    for (const QString& d : SystemPorts())
        if (!searched.contains(d)) others << d;
    const std::string text = PortCheckText(ToStdStrings(searched), ToStdStrings(others));
    Text_Check->setPlainText(text.empty() ? tr("No serial ports.")
                                          : QString::fromStdString(text));
}

void Form_Ports::ShowChoice() {
    const QStringList searched = SearchedPorts(m_Main.Link());
    for (int i = 0; i < kComPortCount; ++i) Combo_Port[i]->setCurrentText(searched.value(i));
}

QStringList Form_Ports::Chosen() const {
    QStringList devices;
    for (QComboBox* c : Combo_Port) devices << c->currentText().trimmed();
    while (!devices.isEmpty() && devices.last().isEmpty()) devices.removeLast();
    return devices;
}

void Form_Ports::Apply() {
    // An empty field in the middle keeps the numbers of the others; the
    // search finds no port there, as with a missing COM port.
    m_Main.SetPortChoice(Chosen());
}

} // namespace kq
