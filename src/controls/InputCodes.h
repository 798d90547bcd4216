#pragma once

#include <Qt>

#include <cstdint>

// The argument values the controls' key and mouse events carry: key codes of the classic
// virtual-key table, Shift as the mask 1 Shift, 2 Ctrl, 4 Alt, Button as 1 left, 2 right,
// 4 middle.
namespace InputCodes {

int16_t keyCode(int qtKey);
int16_t shiftMask(Qt::KeyboardModifiers modifiers);
int16_t buttonMask(Qt::MouseButtons buttons);

} // namespace InputCodes
