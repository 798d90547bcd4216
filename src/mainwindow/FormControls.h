#pragma once

class FormatBox;
class QLineEdit;
class QWidget;
class TavloClick;
class TavloProBar;
struct StoredForm;

// The window's controls, each made as the stored form describes it (kind, place, size, font,
// properties) and put in the stored keyboard order; the text fields and the format box get the
// dark beds the artwork has for them. Pause stands in the form like the others, hidden until
// something converts.
struct FormControls {
    FormControls(QWidget &window, const StoredForm &form);

    QLineEdit *txtSource = nullptr;
    QLineEdit *txtDest = nullptr;
    FormatBox *cboFormat = nullptr;
    TavloClick *cmdSource = nullptr;
    TavloClick *cmdDest = nullptr;
    TavloClick *cmdConvert = nullptr;
    TavloClick *cmdPause = nullptr;
    TavloClick *cmdMin = nullptr;
    TavloClick *cmdClose = nullptr;
    TavloClick *cmdLogo = nullptr;
    TavloProBar *proBar = nullptr;
};
