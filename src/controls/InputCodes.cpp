#include "controls/InputCodes.h"

#include <array>
#include <utility>

namespace InputCodes {

int16_t keyCode(int qtKey)
{
    // Letters and digits share their codes with upper-case ASCII.
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return static_cast<int16_t>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<int16_t>(0x70 + (qtKey - Qt::Key_F1));
    static constexpr std::array<std::pair<int, int16_t>, 22> KeyCodes{{
        {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09}, {Qt::Key_Backtab, 0x09},
        {Qt::Key_Return, 0x0D}, {Qt::Key_Enter, 0x0D}, {Qt::Key_Shift, 0x10},
        {Qt::Key_Control, 0x11}, {Qt::Key_Alt, 0x12}, {Qt::Key_Pause, 0x13},
        {Qt::Key_CapsLock, 0x14}, {Qt::Key_Escape, 0x1B}, {Qt::Key_Space, 0x20},
        {Qt::Key_PageUp, 0x21}, {Qt::Key_PageDown, 0x22}, {Qt::Key_End, 0x23},
        {Qt::Key_Home, 0x24}, {Qt::Key_Left, 0x25}, {Qt::Key_Up, 0x26},
        {Qt::Key_Right, 0x27}, {Qt::Key_Down, 0x28}, {Qt::Key_Insert, 0x2D},
        {Qt::Key_Delete, 0x2E},
    }};
    for (const auto &[key, code] : KeyCodes) {
        if (key == qtKey)
            return code;
    }
    return 0;
}

int16_t shiftMask(Qt::KeyboardModifiers modifiers)
{
    return static_cast<int16_t>((modifiers & Qt::ShiftModifier ? 1 : 0)
                                | (modifiers & Qt::ControlModifier ? 2 : 0)
                                | (modifiers & Qt::AltModifier ? 4 : 0));
}

int16_t buttonMask(Qt::MouseButtons buttons)
{
    return static_cast<int16_t>((buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
                                | (buttons & Qt::MiddleButton ? 4 : 0));
}

} // namespace InputCodes
