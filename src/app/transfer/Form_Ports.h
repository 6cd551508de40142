// The serial ports searched for the radio: which device stands for COM1 to
// COM4. The choice goes into the main window's link settings and overrides
// the system's list (and KQ_SERIAL_PORTS).
#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;

namespace kq {

class frmMain;

class Form_Ports : public QDialog {
    Q_OBJECT
public:
    static Form_Ports* ShowPorts(frmMain& main);

    QComboBox* Combo_Port[4] = {};
    QLabel* Label_Source = nullptr;

    // The devices in the four fields, empty ones left out.
    QStringList Chosen() const;
    void Apply();

private:
    explicit Form_Ports(frmMain& main);
    void ShowChoice();

    frmMain& m_Main;
};

} // namespace kq
