#pragma once

class QComboBox;

// A list box as a screen reader reads it: the chosen entry is the selected item of the box's
// list, so that the box is read with its value ("At once: combo box 2"), and while the list is
// closed no entry of it has the focus (a focused item in a hidden list is read as if shown).
void keepChoiceReadable(QComboBox &box);
