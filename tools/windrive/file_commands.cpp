// Files held open by the driver, as another program would hold them, for as long as the test needs:
// the program under test then meets the sharing rules a real second program would impose.
#include "commands.h"

#include "handles.h"

#include <vector>

namespace {
std::vector<UniqueKernelHandle>& HeldFiles()
{
    static std::vector<UniqueKernelHandle> files;
    return files;
}
}

void HoldFile(Request& request, Answer& answer)
{
    std::string path = request.Text(0);
    long long access = request.Integer(1);
    long long share = request.Integer(2);
    if (request.Failed())
        return;
    UniqueKernelHandle file(::CreateFileA(path.c_str(), static_cast<DWORD>(access), static_cast<DWORD>(share), nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        answer.Fail("open failed " + std::to_string(::GetLastError()));
        return;
    }
    HeldFiles().push_back(std::move(file));
}

void ReleaseFiles(Request&, Answer&)
{
    HeldFiles().clear();
}
