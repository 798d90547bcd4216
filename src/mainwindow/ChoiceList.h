#pragma once

class QComboBox;

// A list box as a screen reader reads it: the box's value is the chosen entry's text, read with
// the box and again when it changes ("Convert to combo box iPhone Video"); while the list is
// closed it is no part of the box (a hidden list with a focused entry is read as if shown), and
// its chosen entry is selected rather than focused.
void keepChoiceReadable(QComboBox &box);
