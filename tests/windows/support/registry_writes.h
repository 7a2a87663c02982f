// Records the registry writes this test program makes, by rerouting its own imports of
// RegCreateKeyExA and RegSetValueExA while an object lives. The writes still reach the
// registry. Wine enumerates a key's values by name, not in the order they were written,
// so the order of writes can only be seen here.
#pragma once

#include <string>
#include <vector>

namespace teststore {

class RegistryWriteRecorder {
public:
    RegistryWriteRecorder();
    ~RegistryWriteRecorder();
    RegistryWriteRecorder(const RegistryWriteRecorder&) = delete;
    RegistryWriteRecorder& operator=(const RegistryWriteRecorder&) = delete;

    // In order, one line per event, key paths relative to the store's root key:
    // "+3" a key created, "3:Type=dword:1" and "3:Action=sz:calc.exe" values set.
    const std::vector<std::string>& Writes() const { return writes_; }
    void Reset() { writes_.clear(); }

private:
    std::vector<std::string> writes_;
};

}  // namespace teststore
