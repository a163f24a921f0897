// Reads a dialog resource (DLGTEMPLATEEX) of this module, so tests can check a layout exactly as
// the resource script gives it: styles, caption, font, and every control's id, class, text and place.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct DialogItem {
    int id = 0;
    std::string windowClass;  // "Button", "Edit", "Static", "ComboBox", or a registered class name
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    int fontSize = 0;
    std::string fontName;
    std::vector<DialogItem> items;

    // The first item with this id, or null.
    const DialogItem* Item(int id) const
    {
        for (const DialogItem& item : items)
            if (item.id == id)
                return &item;
        return nullptr;
    }
};

// False when the module has no extended dialog template with this id.
bool LoadDialogTemplate(UINT id, DialogTemplate& dialog);
