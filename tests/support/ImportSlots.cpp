// The import-table walk.
#include "tests/support/ImportSlots.h"

#include <string.h>

namespace support {

namespace {

const ImportRedirect* RedirectFind(const std::vector<ImportRedirect>& redirects, const char* name) {
    for (const ImportRedirect& redirect : redirects) {
        if (strcmp(redirect.name, name) == 0) return &redirect;
    }
    return nullptr;
}

const char* SlotName(BYTE* base, const IMAGE_IMPORT_DESCRIPTOR* import, size_t index,
                     ULONG_PTR address, const std::vector<ImportRedirect>& redirects) {
    if (import->OriginalFirstThunk) {
        auto* names = (IMAGE_THUNK_DATA*)(base + import->OriginalFirstThunk);
        if (IMAGE_SNAP_BY_ORDINAL(names[index].u1.Ordinal)) return nullptr;
        auto* byName = (IMAGE_IMPORT_BY_NAME*)(base + names[index].u1.AddressOfData);
        return (const char*)byName->Name;
    }
    HMODULE module = GetModuleHandleA((const char*)(base + import->Name));
    if (!module) return nullptr;
    for (const ImportRedirect& redirect : redirects) {
        if ((ULONG_PTR)GetProcAddress(module, redirect.name) == address) return redirect.name;
    }
    return nullptr;
}

void SlotSet(IMAGE_THUNK_DATA* slot, ULONG_PTR value) {
    DWORD protection;
    VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
    slot->u1.Function = value;
    VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
}

}  // namespace

std::vector<std::string> ImportsRedirect(const std::vector<ImportRedirect>& redirects) {
    std::vector<std::string> redirected;
    auto* base = (BYTE*)GetModuleHandleA(nullptr);
    auto* dos = (IMAGE_DOS_HEADER*)base;
    auto* nt = (IMAGE_NT_HEADERS*)(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress) return redirected;
    auto* import = (IMAGE_IMPORT_DESCRIPTOR*)(base + directory.VirtualAddress);
    for (; import->Name; import++) {
        auto* slots = (IMAGE_THUNK_DATA*)(base + import->FirstThunk);
        for (size_t i = 0; slots[i].u1.Function; ++i) {
            auto address = (ULONG_PTR)slots[i].u1.Function;
            const char* name = SlotName(base, import, i, address, redirects);
            const ImportRedirect* redirect = name ? RedirectFind(redirects, name) : nullptr;
            if (!redirect) continue;
            *redirect->platform = address;
            SlotSet(&slots[i], redirect->replacement);
            redirected.push_back(name);
        }
    }
    return redirected;
}

}  // namespace support
