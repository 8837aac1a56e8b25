#include "engine/base_level.h"

#include "engine/engine.h"
#include "engine/level_host.h"
#include "platform/core/clock.h"

void BaseLevel::Run() {
    startTime = Time();
    running = true;
    while (running) {
        if (engine->PumpMessage() == 1) {
            running = false;
            closed = true;
            continue;
        }
        const bool play = !engine->host || engine->host->BeginFrame(this);
        if (!running) continue;
        if (play) Update();
        engine->Frame(play);
    }
}
