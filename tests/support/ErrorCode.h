#pragma once

#include "common/RuntimeError.h"

#include <functional>

// The RuntimeError code an action throws, or 0.
inline int errorCode(const std::function<void()> &action)
{
    try {
        action();
    } catch (const RuntimeError &error) {
        return error.code();
    }
    return 0;
}
