// What every window of the program shares in its look: the twip
// coordinates it was designed in, its two fonts and the plain message box.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

namespace kq {

// Twips to pixels at 96 dpi (15 twips per pixel); Qt scales for high dpi.
constexpr int Twips(int t) { return t / 15; }

// Places w at a rectangle given in twips.
void PlaceTwips(QWidget* w, int left, int top, int width, int height);
// Sizes a top-level window whose outer size, frame and title bar included,
// was given in twips.
void SetOuterSizeTwips(QWidget* w, int width, int height);
// A caption and a text field on one row of a dialog, in twips.
QLabel* PlaceLabel(QWidget* parent, const QString& text, int left, int top, int width);
QLineEdit* PlaceField(QWidget* parent, int maxLength, int left, int top, int width);

// The background of a channel row outside the radio's band, and of the
// status bar's field that names those channels.
QColor OutsideBandColour();
QFont CourierBoldFont(); // Courier New bold 9.75 pt, the tables and dialogs
QFont ArialBoldFont(double points);

// A message box with an empty title, no icon and an OK button.
void PlainMessage(QWidget* parent, const QString& text);

// From here on every message box is centred on home (the main window) and
// wide enough for its title, and the program's own dialogs keep their size
// (no maximise); for the life of home.
void InstallDialogLook(QWidget* home);

} // namespace kq
