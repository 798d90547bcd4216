#include "mainwindow/RunLook.h"

#include "common/StepGuard.h"
#include "controls/button/TavloClick.h"
#include "mainwindow/Form1.h"
#include "mainwindow/FormatBox.h"

#include <QLineEdit>

namespace {

const char *const ConvertTip = "Convert (Alt+C)";
const char *const StopTip = "Stop the conversion (Alt+C or Esc)";

} // namespace

RunLook::RunLook(Form1 &form)
    : m_form(form)
    , m_normal(form.cmdConvert()->PicNormal())
    , m_over(form.cmdConvert()->PicOver())
    , m_down(form.cmdConvert()->PicDown())
{
    show(false);
}

void RunLook::show(bool running)
{
    m_form.txtSource()->setReadOnly(running);
    m_form.txtDest()->setReadOnly(running);
    m_form.formatBox()->setReadOnly(running);
    TavloClick *convert = m_form.cmdConvert();
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
