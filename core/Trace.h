#pragma once
// Trace points mark the entry of the main operations. The sink is silent in this build:
// an inline function that does nothing, so a trace point costs only the evaluation of its
// arguments.

inline void TracePoint(const char* /*label*/, int /*line*/, const char* /*format*/, ...) {}

// Local time as "YYYYmmdd HH:MM " followed by the upper-case letters of the time-zone name
// ("20100118 09:11 CST"). Kept in one process-wide buffer that every call overwrites.
const char* TraceTimestamp();
