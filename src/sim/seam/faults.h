#pragma once
// Failures injected at the seam, so that every failure path of the program can be run for real.

enum class TFault {
    MemOpen,
    MemMapRegs,
    MemMapBlitter,
    MemMapWindow,
    MemClose,
    Fb0Open,
    Fb1Open,
    FbInfo,
    FbMap,
    MixerOpen,
    SdlVideo,
    SdlAudio,
    Count
};

bool FaultActive(TFault Fault);
// Records in the trace that a fault has struck (the seam call fails because of it).
void TraceFault(TFault Fault);
void ResetFaults();
