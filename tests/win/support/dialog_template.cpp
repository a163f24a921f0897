#include "dialog_template.h"

namespace {
class Reader {
public:
    Reader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    template <typename T>
    T Get()
    {
        T value{};
        if (m_pos + sizeof(T) <= m_size)
            memcpy(&value, m_data + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }
    std::string WideString()
    {
        std::string text;
        for (WCHAR c; (c = Get<WCHAR>()) != 0 && m_pos <= m_size;)
            text += static_cast<char>(c < 0x80 ? c : '?');
        return text;
    }
    // A name or an ordinal: 0x0000 none, 0xFFFF followed by the ordinal, else a string.
    std::string NameOrOrdinal(WORD* ordinal = nullptr)
    {
        WORD first = Get<WORD>();
        if (first == 0)
            return std::string();
        if (first == 0xFFFF) {
            WORD value = Get<WORD>();
            if (ordinal)
                *ordinal = value;
            return "#" + std::to_string(value);
        }
        m_pos -= sizeof(WORD);
        return WideString();
    }
    void AlignToDword() { m_pos = (m_pos + 3) & ~static_cast<size_t>(3); }
    void Skip(size_t count) { m_pos += count; }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

std::string PredefinedClass(WORD ordinal)
{
    switch (ordinal) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    default: return "#" + std::to_string(ordinal);
    }
}
}

bool LoadDialogTemplate(UINT id, DialogTemplate& dialog)
{
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (!resource)
        return false;
    const BYTE* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, resource)));
    Reader r(data, ::SizeofResource(module, resource));
    if (r.Get<WORD>() != 1 || r.Get<WORD>() != 0xFFFF)
        return false;
    r.Get<DWORD>();  // help id
    dialog.exStyle = r.Get<DWORD>();
    dialog.style = r.Get<DWORD>();
    WORD count = r.Get<WORD>();
    dialog.x = r.Get<short>();
    dialog.y = r.Get<short>();
    dialog.cx = r.Get<short>();
    dialog.cy = r.Get<short>();
    r.NameOrOrdinal();  // menu
    r.NameOrOrdinal();  // class
    dialog.caption = r.WideString();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.fontSize = r.Get<WORD>();
        r.Get<WORD>();  // weight
        r.Get<BYTE>();  // italic
        r.Get<BYTE>();  // charset
        dialog.fontName = r.WideString();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignToDword();
        DialogItem item;
        r.Get<DWORD>();  // help id
        item.exStyle = r.Get<DWORD>();
        item.style = r.Get<DWORD>();
        item.x = r.Get<short>();
        item.y = r.Get<short>();
        item.cx = r.Get<short>();
        item.cy = r.Get<short>();
        item.id = static_cast<int>(r.Get<DWORD>());
        WORD ordinal = 0;
        item.windowClass = r.NameOrOrdinal(&ordinal);
        if (ordinal)
            item.windowClass = PredefinedClass(ordinal);
        item.text = r.NameOrOrdinal();
        r.Skip(r.Get<WORD>());  // creation data
        dialog.items.push_back(item);
    }
    return true;
}
