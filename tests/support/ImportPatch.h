// While an ImportPatch lives, the calls that this executable's own code makes to dll!name go to a
// replacement: a test watches a system call, or makes it fail where the platform it runs on
// never does (Wine grants every registry write). Calls made from inside DLLs are not affected.
#pragma once

#include <windows.h>

#include <cstring>

class ImportPatch {
public:
    // dll as the import table names it, in any case ("advapi32.dll").
    template <typename Function>
    ImportPatch(const char* dll, const char* name, Function* replacement)
        : m_dll(dll), m_name(name), m_original(Patch(dll, name, reinterpret_cast<void*>(replacement)))
    {
    }
    ~ImportPatch()   // the import calls the original again
    {
        if (m_original != nullptr)
            Patch(m_dll, m_name, m_original);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // What the import called before, for the replacement to forward to; nullptr when this
    // executable does not import dll!name (then nothing was patched).
    template <typename FunctionPointer>
    FunctionPointer Original() const
    {
        return reinterpret_cast<FunctionPointer>(m_original);
    }

private:
    // Writes function into this executable's import table entries for dll!name; returns the
    // address they held before (nullptr when the executable does not import it).
    static void* Patch(const char* dll, const char* name, void* function)
    {
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& directory =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (directory.VirtualAddress == 0)
            return nullptr;
        void* previous = nullptr;
        for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
             import->Name != 0; ++import) {
            if (::lstrcmpiA(reinterpret_cast<const char*>(base + import->Name), dll) != 0)
                continue;
            auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
            const auto* lookup = reinterpret_cast<const IMAGE_THUNK_DATA*>(
                base + (import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk));
            for (; lookup->u1.AddressOfData != 0; ++lookup, ++slot) {
                if (IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal))
                    continue;
                const auto* byName =
                    reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + lookup->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0)
                    continue;
                DWORD protection = 0;
                ::VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
                previous = reinterpret_cast<void*>(slot->u1.Function);
                slot->u1.Function = reinterpret_cast<decltype(slot->u1.Function)>(function);
                ::VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
            }
        }
        return previous;
    }

    const char* m_dll;
    const char* m_name;
    void* m_original;
};
