#include <memory>

#include "core/store_reader.h"
#include "engine.h"
#include "engine_state.h"
#include "registry_value.h"

int LoadShortcutTable() {
    EngineState& engine = Engine();
    // Before the first read: whatever was saved before this tick is in the new table.
    engine.reloadStartTick = GetTickCount();
    engine.reloaded = true;
    EngineSettings settings;
    {
        ShortcutTablePublisher::Snapshot current = engine.tables.Acquire();
        settings = current->Settings();
    }
    std::unique_ptr<ShortcutTable> table;
    {
        RegistryStoreReader reader;
        table = store::ReadShortcutTable(reader, settings);
    }
    // Out of memory in a host process: keep the table that is in force.
    if (!table) return engine.tables.Acquire()->Count();
    const int count = table->Count();
    engine.tables.Publish(std::move(table));
    return count;
}

ShortcutTablePublisher::Snapshot AcquireShortcutTable() { return Engine().tables.Acquire(); }
