// The serial ports searched for the radio: which device stands for COM1 to
// COM4. The choice goes into the main window's link settings and overrides
// the system's list (and KQ_SERIAL_PORTS). Below, the port check says what
// the system knows of each port and whether it can be opened now.
#pragma once

#include "ComPorts.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QPlainTextEdit;

namespace kq {

class frmMain;

class Form_Ports : public QDialog {
    Q_OBJECT
public:
    static Form_Ports* ShowPorts(frmMain& main);

    QComboBox* Combo_Port[kComPortCount] = {};
    QLabel* Label_Source = nullptr;
    // The port check: each port's by-id name, adapter and whether it can
    // be opened now, as kqtool ports shows it.
    QPlainTextEdit* Text_Check = nullptr;

    // The devices in the four fields, empty ones left out.
    QStringList Chosen() const;
    void Apply();
    // Looks at the ports in the fields and the system's others again.
    void CheckPorts();

private:
    explicit Form_Ports(frmMain& main);
    void ShowChoice();

    frmMain& m_Main;
};

} // namespace kq
