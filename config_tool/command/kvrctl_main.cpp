// kvrctl.exe: the console command for scripts and fleets. Results go to standard output, refusals
// and failures to standard error, and the exit code tells the outcome (command_line.h).
#include "command_line.h"
#include "command_run.h"
#include "console_output.h"
#include "elevation.h"

#include <windows.h>

int main()
{
    Command command = ParseCommandLine(ArgumentsAfterProgramName(::GetCommandLineA()), CommandSet::kCtl);
    CommandOutput output;
    int exitCode = RunCtlCommand(command, RunsElevated(), output);
    WriteStandardStream(STD_OUTPUT_HANDLE, output.text);
    WriteStandardStream(STD_ERROR_HANDLE, output.errors);
    return exitCode;
}
