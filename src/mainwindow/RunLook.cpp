#include "mainwindow/RunLook.h"

#include "common/StepGuard.h"
#include "controls/button/TavloClick.h"
#include "mainwindow/FormControls.h"
#include "mainwindow/FormatBox.h"

#include <QLineEdit>

namespace {

const char *const ConvertTip = "Convert (Alt+C)";
const char *const StopTip = "Stop the conversion (Alt+C or Esc)";

} // namespace

RunLook::RunLook(const FormControls &controls)
    : m_controls(controls)
    , m_normal(controls.cmdConvert->PicNormal())
    , m_over(controls.cmdConvert->PicOver())
    , m_down(controls.cmdConvert->PicDown())
{
    show(false);
}

void RunLook::show(bool running)
{
    m_controls.txtSource->setReadOnly(running);
    m_controls.txtDest->setReadOnly(running);
    m_controls.cboFormat->setReadOnly(running);
    TavloClick *convert = m_controls.cmdConvert;
    convert->setAccessibleName(QLatin1String(running ? "Stop" : "Convert"));
    convert->setToolTip(QLatin1String(running ? StopTip : ConvertTip));
    // Setting a face picture repaints with that face; the state on show comes back after.
    const int32_t shown = convert->runtime().LastState;
    StepGuard("Convert's face").run([&] {
        if (running) {
            convert->setPicNormal(Picture::fromPath(QStringLiteral(":/art/stop-normal.png")));
            convert->setPicOver(Picture::fromPath(QStringLiteral(":/art/stop-over.png")));
            convert->setPicDown(Picture::fromPath(QStringLiteral(":/art/stop-down.png")));
        } else {
            convert->setPicNormal(m_normal);
            convert->setPicOver(m_over);
            convert->setPicDown(m_down);
        }
        convert->Redraw(shown);
    });
}
