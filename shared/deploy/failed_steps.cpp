#include "failed_steps.h"

namespace {
// The programs do their work on one thread; the record lives for one run.
std::vector<FailedStep> g_failed;
bool g_restartNeeded = false;
}

void RecordRestartNeeded()
{
    g_restartNeeded = true;
}

bool TakeRestartNeeded()
{
    bool needed = g_restartNeeded;
    g_restartNeeded = false;
    return needed;
}

void RecordFailedStep(const std::string& step, DWORD error)
{
    g_failed.push_back({step, error});
}

size_t FailedStepCount()
{
    return g_failed.size();
}

std::vector<FailedStep> TakeFailedSteps()
{
    std::vector<FailedStep> taken;
    taken.swap(g_failed);
    return taken;
}

std::string FailedStepLine(const FailedStep& failed)
{
    return failed.step + " failed: error " + std::to_string(failed.error) + "\n";
}
