// The driver's commands. Each reads its arguments from the request and fills the answer; the
// table in commands.cpp names them and gives their usage.
#pragma once
#include "request.h"

using CommandHandler = void (*)(Request& request, Answer& answer);

struct Command {
    const char* name;
    const char* usage;
    CommandHandler handler;
};

// Null when there is no command of that name.
const Command* FindCommand(const std::string& name);
// One answer line listing every command with its usage.
void ListCommands(Answer& answer);

void SetSendTimeoutCommand(Request&, Answer&);

// window_commands.cpp: top-level windows and their children.
void WaitWindow(Request&, Answer&);
void WindowsOf(Request&, Answer&);
void WaitGone(Request&, Answer&);
void Title(Request&, Answer&);
void Style(Request&, Answer&);
void Children(Request&, Answer&);
void Focus(Request&, Answer&);
void Close(Request&, Answer&);

// paint_commands.cpp: a program's windows drawn, for screenshots; one window shown and drawn.
void WaitPainted(Request&, Answer&);
void WaitShown(Request&, Answer&);

// control_commands.cpp: buttons, check boxes, texts.
void Click(Request&, Answer&);
void PostCommand(Request&, Answer&);
void Text(Request&, Answer&);
void SetText(Request&, Answer&);
void Enabled(Request&, Answer&);
void Visible(Request&, Answer&);
void SampleText(Request&, Answer&);
void SendPlain(Request&, Answer&);
void PostPlain(Request&, Answer&);

// combo_commands.cpp
void ComboItems(Request&, Answer&);
void ComboSelection(Request&, Answer&);
void ComboSelect(Request&, Answer&);

// ip_commands.cpp: IP address controls.
void IpGet(Request&, Answer&);

// list_view_commands.cpp
void ListCount(Request&, Answer&);
void ListColumns(Request&, Answer&);
void ListCells(Request&, Answer&);
void ListSelect(Request&, Answer&);
void ListState(Request&, Answer&);
void ListItemRect(Request&, Answer&);

// input_commands.cpp: real mouse and keyboard input.
void MouseClick(Request&, Answer&);
void Key(Request&, Answer&);

// file_commands.cpp: files held open as another program would.
void HoldFile(Request&, Answer&);
void ReleaseFiles(Request&, Answer&);

// message_box_commands.cpp
void WaitMessageBox(Request&, Answer&);
void ReadMessageBoxCommand(Request&, Answer&);
void PressMessageBox(Request&, Answer&);
