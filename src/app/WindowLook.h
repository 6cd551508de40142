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

// How long the status bar confirms a file written (SAVE, PRINT TO PDF).
constexpr int kConfirmMs = 10000;

// Twips to pixels at 96 dpi (15 twips per pixel); Qt scales for high dpi.
constexpr int Twips(int t) { return t / 15; }

// Places w at a rectangle given in twips.
void PlaceTwips(QWidget* w, int left, int top, int width, int height);
// Sizes a top-level window whose outer size, frame and title bar included,
// was given in twips.
void SetOuterSizeTwips(QWidget* w, int width, int height);
// Centres a top-level window over `over` and keeps it, frame included,
// wholly within the available area of that screen, shrinking it if needed.
void PlaceOnScreen(QWidget* window, const QWidget* over);
// A caption and a text field on one row of a dialog, in twips.
QLabel* PlaceLabel(QWidget* parent, const QString& text, int left, int top, int width);
QLineEdit* PlaceField(QWidget* parent, int maxLength, int left, int top, int width);

// The background of a channel row outside the radio's band (on a list's
// Base and Text) and of the status bar's field that names those channels
// (on Window and WindowText): an orange of the palette's lightness, so that
// the text on it keeps a contrast of 4.5:1 in light and dark themes.
QColor OutsideBandColour(const QColor& background, const QColor& text);
// WCAG 2 relative luminance (0 black .. 1 white) and contrast (1 .. 21).
double RelativeLuminance(const QColor& c);
double ContrastRatio(const QColor& a, const QColor& b);
QFont CourierBoldFont(); // Courier New bold 9.75 pt, the tables and dialogs
QFont ArialBoldFont(double points);

// A message box with an empty title, no icon and an OK button.
void PlainMessage(QWidget* parent, const QString& text);

// From here on every message box is centred on home (the main window) and
// wide enough for its title, and the program's own dialogs keep their size
// (no maximise); for the life of home.
void InstallDialogLook(QWidget* home);

} // namespace kq
