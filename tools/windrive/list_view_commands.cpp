// List views of the program under test. Their item messages take pointers into the list's own
// process, so the structures and text buffers live in a RemoteBuffer there.
#include "commands.h"
#include "remote_buffer.h"
#include "target.h"

#include <commctrl.h>

#include <vector>

namespace {

constexpr size_t kTextCapacity = 1024;

// One list view with room in its process for an item or column structure and one text.
class RemoteList {
public:
    explicit RemoteList(HWND list) : m_list(list), m_buffer(list, kStructBytes + kTextCapacity) {}
    bool Valid() const { return m_buffer.Valid(); }

    bool ItemText(int row, int column, std::string& text)
    {
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<char*>(m_buffer.At(kStructBytes));
        item.cchTextMax = static_cast<int>(kTextCapacity);
        return m_buffer.Write(0, &item, sizeof item) &&
               SendToTarget(m_list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), m_buffer.At()) && ReadText(text);
    }

    bool ColumnText(int column, std::string& text)
    {
        LVCOLUMNA info = {};
        info.mask = LVCF_TEXT;
        info.pszText = reinterpret_cast<char*>(m_buffer.At(kStructBytes));
        info.cchTextMax = static_cast<int>(kTextCapacity);
        LRESULT ok = 0;
        return m_buffer.Write(0, &info, sizeof info) &&
               SendToTarget(m_list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), m_buffer.At(), &ok) && ok &&
               ReadText(text);
    }

    // LVM_SETITEMSTATE, as a click does it: the list tells its parent with LVN_ITEMCHANGED.
    bool SetSelected(int row, bool selected)
    {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = selected ? LVIS_SELECTED : 0;
        LRESULT ok = 0;
        return m_buffer.Write(0, &item, sizeof item) &&
               SendToTarget(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), m_buffer.At(), &ok) && ok;
    }

    bool ItemRect(int row, RECT& rect)
    {
        rect = {};
        rect.left = LVIR_BOUNDS;
        LRESULT ok = 0;
        return m_buffer.Write(0, &rect, sizeof rect) &&
               SendToTarget(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(row), m_buffer.At(), &ok) && ok &&
               m_buffer.Read(0, &rect, sizeof rect);
    }

private:
    static constexpr size_t kStructBytes = 256;  // more than LVITEMA, LVCOLUMNA or RECT need

    bool ReadText(std::string& text)
    {
        std::vector<char> buffer(kTextCapacity, '\0');
        if (!m_buffer.Read(kStructBytes, buffer.data(), buffer.size()))
            return false;
        buffer.back() = '\0';
        text = buffer.data();
        return true;
    }

    HWND m_list;
    RemoteBuffer m_buffer;
};

bool Count(HWND list, int& rows, Answer& answer)
{
    LRESULT count = 0;
    if (!SendToTarget(list, LVM_GETITEMCOUNT, 0, 0, &count)) {
        answer.Fail("no answer");
        return false;
    }
    rows = static_cast<int>(count);
    return true;
}

bool ColumnCount(HWND list, int& columns, Answer& answer)
{
    LRESULT header = 0, count = 0;
    if (!SendToTarget(list, LVM_GETHEADER, 0, 0, &header) || !header ||
        !SendToTarget(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0, &count) || count < 0) {
        answer.Fail("no header");
        return false;
    }
    columns = static_cast<int>(count);
    return true;
}

HWND TargetList(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    return TargetControl(window, request, 1, answer);
}

bool Open(RemoteList& remote, Answer& answer)
{
    if (!remote.Valid())
        answer.Fail("cannot reach the list's process");
    return remote.Valid();
}

}  // namespace

void ListCount(Request& request, Answer& answer)
{
    HWND list = TargetList(request, answer);
    int rows = 0;
    if (list && Count(list, rows, answer))
        answer.Add(static_cast<long long>(rows));
}

void ListColumns(Request& request, Answer& answer)
{
    HWND list = TargetList(request, answer);
    int columns = 0;
    if (!list || !ColumnCount(list, columns, answer))
        return;
    RemoteList remote(list);
    if (!Open(remote, answer))
        return;
    answer.Add(static_cast<long long>(columns));
    for (int column = 0; column < columns; ++column) {
        std::string text;
        if (!remote.ColumnText(column, text)) {
            answer.Fail("no answer");
            return;
        }
        answer.Add(text);
    }
}

void ListCells(Request& request, Answer& answer)
{
    HWND list = TargetList(request, answer);
    int rows = 0, columns = 0;
    if (!list || !Count(list, rows, answer) || !ColumnCount(list, columns, answer))
        return;
    RemoteList remote(list);
    if (!Open(remote, answer))
        return;
    answer.Add(static_cast<long long>(rows)).Add(static_cast<long long>(columns));
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            std::string text;
            if (!remote.ItemText(row, column, text)) {
                answer.Fail("no answer");
                return;
            }
            answer.Add(text);
        }
    }
}

void ListSelect(Request& request, Answer& answer)
{
    HWND list = TargetList(request, answer);
    long long row = request.Integer(2);
    long long selected = request.Integer(3);
    if (!list || request.Failed())
        return;
    RemoteList remote(list);
    if (Open(remote, answer) && !remote.SetSelected(static_cast<int>(row), selected != 0))
        answer.Fail("not set");
}

void ListState(Request& request, Answer& answer)
{
    HWND list = TargetList(request, answer);
    long long row = request.Integer(2);
    if (!list || request.Failed())
        return;
    LRESULT state = 0;
    if (!SendToTarget(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED | LVIS_FOCUSED, &state)) {
        answer.Fail("no answer");
        return;
    }
    answer.Add(static_cast<long long>((state & LVIS_SELECTED) ? 1 : 0));
    answer.Add(static_cast<long long>((state & LVIS_FOCUSED) ? 1 : 0));
}

void ListItemRect(Request& request, Answer& answer)
{
    HWND list = TargetList(request, answer);
    long long row = request.Integer(2);
    if (!list || request.Failed())
        return;
    RemoteList remote(list);
    RECT rect;
    if (!Open(remote, answer))
        return;
    if (!remote.ItemRect(static_cast<int>(row), rect)) {
        answer.Fail("no such row");
        return;
    }
    answer.Add(static_cast<long long>(rect.left)).Add(static_cast<long long>(rect.top));
    answer.Add(static_cast<long long>(rect.right)).Add(static_cast<long long>(rect.bottom));
}
