#include "engine/base_level.h"

#include "engine/engine.h"
#include "platform/core/clock.h"

void BaseLevel::Run() {
    startTime = Time();
    running = true;
    while (running) {
        if (engine->PumpMessage() == 1) {
            running = false;
            continue;
        }
        Update();
        engine->Frame();
    }
}
