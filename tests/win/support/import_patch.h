// Replaces a function that this program imports from a DLL, for the program's own calls: a seam
// for failures the platform cannot be made to give here (Wine answers every bind conflict with
// "address in use", say).
#pragma once
#include <windows.h>

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement)
    {
        HMODULE module = ::GetModuleHandleA(dll);
        void* target = module ? reinterpret_cast<void*>(::GetProcAddress(module, function)) : nullptr;
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (!target || !imports.VirtualAddress)
            return;
        for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
             ++entry) {
            for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk); thunk->u1.Function;
                 ++thunk) {
                if (reinterpret_cast<void*>(thunk->u1.Function) == target) {
                    m_slot = reinterpret_cast<void**>(&thunk->u1.Function);
                    m_original = target;
                    Write(replacement);
                    return;
                }
            }
        }
    }
    ~ImportPatch()
    {
        if (m_slot)
            Write(m_original);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Applied() const { return m_slot != nullptr; }

private:
    void Write(void* function)
    {
        DWORD protection = 0;
        ::VirtualProtect(m_slot, sizeof *m_slot, PAGE_READWRITE, &protection);
        *m_slot = function;
        ::VirtualProtect(m_slot, sizeof *m_slot, protection, &protection);
    }

    void** m_slot = nullptr;
    void* m_original = nullptr;
};
