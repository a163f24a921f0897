// The PORT lists of the configuration and port management dialogs, filled from the device registry.
#pragma once
#include "controls.h"
#include "dialog.h"

// Adds the name of every root-enumerated COM port to comboBox unless an item with exactly that
// text (case-sensitive) is there already, without emptying it first; then selects item 0 and
// pushes owner's members to its controls. Returns false, touching nothing, when the device
// registry cannot be read.
bool FillPortList(CComboBox& comboBox, CDialog& owner);
