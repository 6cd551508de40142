// The serial ports searched for the radio: which device stands for COM1 to
// COM4. Choosing here overrides the system's list (and KQ_SERIAL_PORTS)
// for the rest of the session.
#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;

namespace kq {

class Form_Ports : public QDialog {
    Q_OBJECT
public:
    static Form_Ports* ShowPorts(QWidget* parent);

    QComboBox* Combo_Port[4] = {};
    QLabel* Label_Source = nullptr;

    // The devices in the four fields, empty ones left out.
    QStringList Chosen() const;
    void Apply();

signals:
    // The user's choice, applied; empty for the system's list.
    void PortsChosen(const QStringList& devices);

private:
    explicit Form_Ports(QWidget* parent);
};

} // namespace kq
