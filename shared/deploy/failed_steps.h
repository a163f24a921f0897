// The steps of an installer's or uninstaller's run that failed, each with the system error code
// captured where it failed. A quiet run ends as failed when there is any and names each on standard
// output; the dialogs keep to their own messages.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct FailedStep {
    std::string step;  // what was being done: "Deleting C:\WINDOWS\KELVARO\KVRLANCOM\kvrconfig.exe"
    DWORD error;
};

void RecordFailedStep(const std::string& step, DWORD error);
size_t FailedStepCount();
// The steps recorded since the last call, in order.
std::vector<FailedStep> TakeFailedSteps();
// "<step> failed: error <code>\n"
std::string FailedStepLine(const FailedStep& failed);

// A step that succeeded but whose effect waits for a restart (the platform said so). A quiet run
// asks for a restart by its exit code only then.
void RecordRestartNeeded();
// Whether one was recorded since the last call; the record is cleared.
bool TakeRestartNeeded();
