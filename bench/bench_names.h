#pragma once
// The names of the benchmarks that the table of targets puts side by side.

constexpr const char* BenchMemcpyView = "memcpy/view_240x640_pitch1280";
constexpr const char* BenchEngineCopy = "engine/copy";
constexpr const char* BenchEngineKeyed = "engine/copy_keyed";
constexpr const char* BenchBlitCopy = "Blit/copy";
constexpr const char* BenchBlitKeyed = "Blit/copy_keyed";
constexpr const char* BenchMemcpyFrame = "memcpy/frame_rows_pitch2048";
constexpr const char* BenchWholeFrame = "MainLoop/frame";
constexpr const char* BenchStatusLines = "DrawText/status_lines";

// Set by a benchmark whose iteration is several frames: the table divides its time by it.
constexpr const char* BenchFramesCounter = "frames";
