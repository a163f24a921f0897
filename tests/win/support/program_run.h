// A program of the build run as a user starts it, and worked from outside as a user would: its
// dialog found by caption, its controls read, clicks and keys posted, its message boxes answered
// (tools/winprobe), its redirected standard output read back.
#pragma once
#include <windows.h>

#include <string>

// A path the build gives in Unix form (under Wine the Unix root is drive Z:) as a Windows path.
std::string WindowsPath(const char* buildPath);

class ProgramRun {
public:
    // Starts exePath with currentDirectory as its current directory and arguments after its name
    // on the command line; with captureOutput its standard output goes to a file. Check Started().
    ProgramRun(const std::string& exePath, const std::string& currentDirectory, bool captureOutput = false,
               const std::string& arguments = "");
    // Ends the program if it still runs.
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Started() const { return m_process != nullptr; }
    DWORD Pid() const { return m_pid; }
    // The program's visible top-level window with exactly this caption; null after timeoutMs.
    HWND WaitWindow(const char* caption, DWORD timeoutMs = 30000) const;
    // True when the program ended within timeoutMs.
    bool WaitExit(DWORD timeoutMs = 10000) const;
    // The whole exit code once the program has ended (STILL_ACTIVE before).
    DWORD ExitCode() const;
    // What reached standard output so far (captureOutput only).
    std::string Output() const;

private:
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
    std::string m_outputPath;
};

// Text of a control of another process's dialog (WM_GETTEXT, which the system carries across).
std::string ControlText(HWND dialog, int id);
// A click on a push button, posted as the button sends it.
void PostClick(HWND dialog, int id);
// Escape pressed in the dialog (the dialog's message loop turns it into IDCANCEL).
void PostEscape(HWND dialog);
// The close box of the window's caption.
void PostCloseBox(HWND window);
// The first visible message box that owner opened (of this process or another); null after
// timeoutMs. Unlike a search by process, a dialog that itself looks like a message box is not taken.
HWND WaitForOwnedMessageBox(HWND owner, DWORD timeoutMs);
