// Key capture for the editor's own build of the engine: with capture mode on, the
// keyboard hook hands every keystroke to the capture window instead of firing shortcuts.
#include "engine.h"
#include "engine_state.h"

void SetCaptureMode(bool on) {
    EngineState& engine = Engine();
    engine.captureMode = on;
    // A capture ended with a key still held never saw its release: start from no keys.
    if (on) engine.pressedState = KeyCombination{};
}
