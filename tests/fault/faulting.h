#pragma once
// Real processor faults. Volatile operands keep them from the optimiser; the sanitizers are kept
// out of these few lines because their own checks would report the fault before the processor
// raised it, and the program's handler is what is under test.
#define REAL_FAULT [[gnu::noinline, gnu::no_sanitize("address", "undefined")]]

REAL_FAULT inline void writeThroughNull()
{
    volatile int* volatile p = nullptr;
    *p = 1;
}

REAL_FAULT inline int divideByZero()
{
    volatile int n = 1;
    volatile int d = 0;
    return n / d;
}

inline volatile int recursionStop = -1;

REAL_FAULT inline int recurseUntilTheStackEnds(int depth)
{
    volatile char frame[256];
    frame[0] = char(depth);
    if (depth == recursionStop)
        return 0;
    return recurseUntilTheStackEnds(depth + 1) + frame[0];
}
