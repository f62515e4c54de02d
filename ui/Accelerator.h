#pragma once
// A keyboard path to a control that stays out of the Tab chain: Alt+letter,
// underlined in its caption and named in its hint.

#include <QChar>

class QAbstractButton;
class QLabel;
class QWidget;

// "予算書" becomes "予算書(&P)" and its hint ends with "(Alt+P)".
void GiveAccelerator(QAbstractButton* button, QChar letter);
// The label's Alt+letter puts the focus into its buddy, whose hint names the key.
void GiveAccelerator(QLabel* label, QWidget* buddy, QChar letter);
