#pragma once

#include "common/Picture.h"

struct FormControls;

// What the window shows while a conversion runs: the fields and the format box read-only, and
// Convert wearing its "Stop" face, name and tooltip, back to "Convert" when the run ends.
class RunLook {
public:
    // Keeps Convert's own faces, as the stored form gave them.
    explicit RunLook(const FormControls &controls);
    Q_DISABLE_COPY(RunLook)

    void show(bool running);

private:
    const FormControls &m_controls;
    Picture m_normal;
    Picture m_over;
    Picture m_down;
};
