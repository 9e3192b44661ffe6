// Times a guarded step that does not fail: the step with its fault guard (a processor fault
// lands back in it), the step as it was before (C++ failures only), and the bare statement.
// Prints ns per step; the best of several rounds, to keep the other loads of the machine out.
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "fault/trap.h"

namespace {

constexpr const char* kModule = "bench";
constexpr int LINE_BASE = 0;

volatile int counter = 0;

/// The step without the fault guard, as it was: a retry loop around a try block.
template <class F> [[gnu::noinline]] bool stepWithoutFaultGuard(fault::Trap&, F&& statement)
{
    for (;;) {
        try {
            statement();
            return true;
        } catch (const fault::ProgramEnding&) {
            throw;
        } catch (...) {
            return false;
        }
    }
}

template <class Body> double nsPerStep(long steps, Body body)
{
    double best = 1e9;
    for (int round = 0; round < 7; ++round) {
        QElapsedTimer timer;
        timer.start();
        body(steps);
        best = std::min(best, double(timer.nsecsElapsed()) / double(steps));
    }
    return best;
}

} // namespace

int main(int argc, char* argv[])
{
    const long steps = argc > 1 ? std::atol(argv[1]) : 20'000'000;
    ARM_TRAP();
    const double bare = nsPerStep(steps, [](long n) {
        for (long i = 0; i < n; ++i)
            counter = counter + 1;
    });
    const double without = nsPerStep(steps, [&](long n) {
        for (long i = 0; i < n; ++i)
            stepWithoutFaultGuard(trap_, [&] { counter = counter + 1; });
    });
    const double with = nsPerStep(steps, [&](long n) {
        for (long i = 0; i < n; ++i)
            STEP(counter = counter + 1);
    });
    std::printf("bare statement:                 %6.2f ns\n", bare);
    std::printf("step without the fault guard:   %6.2f ns per step\n", without);
    std::printf("step with the fault guard:      %6.2f ns per step (%+.2f ns)\n", with, with - without);
    return 0;
}
