#pragma once
#include <functional>

#include "fault/runtimeerror.h"

/// The number of the run-time failure the statement raises, or 0 when it raises none.
inline int failureNumber(const std::function<void()>& statement)
{
    try {
        statement();
    } catch (const fault::RuntimeError& e) {
        return e.number;
    }
    return 0;
}
