#include "quiet_program.h"

#include "handles.h"

namespace {
// Hands the complete lines in pending to onLine and keeps what follows the last line end.
void TakeLines(std::string& pending, const std::function<void(const std::string&)>& onLine)
{
    size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
        std::string line = pending.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        onLine(line);
        pending.erase(0, end + 1);
    }
}

QuietRun Failed(const std::string& step, DWORD error)
{
    QuietRun run;
    run.error = error;
    run.failedStep = step;
    return run;
}
}

QuietRun RunQuietProgram(const std::string& folder, const char* program,
                         const std::function<void(const std::string&)>& onLine)
{
    std::string commandLine = "\"" + folder + program + "\" /quiet";

    // The program's end of the pipe is inherited; ours is not, so the read ends when the program
    // (and whatever inherited its output) has gone.
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    UniqueKernelHandle readEnd, writeEnd;
    if (!::CreatePipe(readEnd.Put(), writeEnd.Put(), &inherit, 0))
        return Failed("Making the output pipe of " + commandLine, ::GetLastError());
    if (!::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0))
        return Failed("Making the output pipe of " + commandLine, ::GetLastError());

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    PROCESS_INFORMATION started = {};
    std::string mutableLine = commandLine;  // CreateProcessA may write into its command line
    if (!::CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                          folder.c_str(), &startup, &started))
        return Failed("Starting " + commandLine, ::GetLastError());
    UniqueKernelHandle process(started.hProcess), thread(started.hThread);
    writeEnd.Reset();

    std::string pending;
    char buffer[512];
    DWORD got = 0;
    while (::ReadFile(readEnd.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        pending.append(buffer, got);
        TakeLines(pending, onLine);
    }
    if (!pending.empty())
        onLine(pending);

    if (::WaitForSingleObject(process.Get(), INFINITE) != WAIT_OBJECT_0)
        return Failed("Waiting for " + commandLine, ::GetLastError());
    QuietRun run;
    if (!::GetExitCodeProcess(process.Get(), &run.exitCode))
        return Failed("Reading the exit code of " + commandLine, ::GetLastError());
    return run;
}
