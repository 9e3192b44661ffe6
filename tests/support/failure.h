#pragma once
#include <functional>

#include "fault/runtimeerror.h"

/// The run-time failure the statement raises; number 0 and no description when it raises none.
inline fault::RuntimeError failureOf(const std::function<void()>& statement)
{
    try {
        statement();
    } catch (const fault::RuntimeError& e) {
        return e;
    }
    return {0, QString()};
}

/// The number of the run-time failure the statement raises, or 0 when it raises none.
inline int failureNumber(const std::function<void()>& statement) { return failureOf(statement).number; }
