#include "registry_writes.h"

#include <windows.h>

#include <cstring>
#include <map>

#include "core/shortcut_store.h"

namespace teststore {

namespace {

using CreateKeyFunction = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD);
using SetValueFunction = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);

CreateKeyFunction realCreateKey = nullptr;
SetValueFunction realSetValue = nullptr;
std::vector<std::string>* activeLog = nullptr;
std::map<HKEY, std::string> keyNames;

std::string Relative(const char* path) {
    const std::string root = store::kRootPath;
    std::string name = path ? path : "";
    if (name.compare(0, root.size(), root) == 0) name.erase(0, root.size());
    if (!name.empty() && name[0] == '\\') name.erase(0, 1);
    return name;
}

LONG WINAPI RecordCreateKey(HKEY root, LPCSTR path, DWORD reserved, LPSTR className, DWORD options, REGSAM access,
                            LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition) {
    DWORD created = 0;
    const LONG status = realCreateKey(root, path, reserved, className, options, access, security, result, &created);
    if (disposition) *disposition = created;
    if (status == ERROR_SUCCESS && activeLog) {
        keyNames[*result] = Relative(path);
        if (created == REG_CREATED_NEW_KEY) activeLog->push_back("+" + Relative(path));
    }
    return status;
}

LONG WINAPI RecordSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    if (activeLog) {
        std::string line = keyNames.count(key) ? keyNames[key] : "?";
        line += ":" + std::string(name ? name : "") + "=";
        if (type == REG_DWORD && size == sizeof(DWORD)) {
            DWORD value = 0;
            std::memcpy(&value, data, sizeof value);
            line += "dword:" + std::to_string(value);
        } else if (type == REG_SZ) {
            // The written size must include exactly one terminator.
            line += "sz:" + std::string(reinterpret_cast<const char*>(data), size ? size - 1 : 0);
            if (size == 0 || data[size - 1] != '\0') line += "<no terminator>";
        } else {
            line += "type" + std::to_string(type) + ":" + std::to_string(size) + " bytes";
        }
        activeLog->push_back(line);
    }
    return realSetValue(key, name, reserved, type, data, size);
}

// Replaces every import slot of this program that holds target.
void Reroute(void* target, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name; ++library) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk); slot->u1.Function; ++slot) {
            if (reinterpret_cast<void*>(slot->u1.Function) != target) continue;
            DWORD protection = 0;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
        }
    }
}

template <typename Function>
Function Real(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), name)));
}

}  // namespace

RegistryWriteRecorder::RegistryWriteRecorder() {
    realCreateKey = Real<CreateKeyFunction>("RegCreateKeyExA");
    realSetValue = Real<SetValueFunction>("RegSetValueExA");
    Reroute(reinterpret_cast<void*>(realCreateKey), reinterpret_cast<void*>(RecordCreateKey));
    Reroute(reinterpret_cast<void*>(realSetValue), reinterpret_cast<void*>(RecordSetValue));
    keyNames.clear();
    activeLog = &writes_;
}

RegistryWriteRecorder::~RegistryWriteRecorder() {
    activeLog = nullptr;
    Reroute(reinterpret_cast<void*>(RecordCreateKey), reinterpret_cast<void*>(realCreateKey));
    Reroute(reinterpret_cast<void*>(RecordSetValue), reinterpret_cast<void*>(realSetValue));
}

}  // namespace teststore
