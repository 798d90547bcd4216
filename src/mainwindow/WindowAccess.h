#pragma once

class Form1;

// How the window is reached without a pointer: the keyboard order top to bottom (the bar and the
// logo take no focus), the access keys, and the names and tooltips that screen readers and users
// read. The access keys: Alt+S the source, Alt+T the format ("convert to"), Alt+A the
// destination ("save as"), Alt+C Convert.
void setUpWindowAccess(Form1 &form);

// The keyboard order as the window is drawn, the panel area's controls after the form's; again
// after a page is added to the area.
void orderTabs(Form1 &form);
