#pragma once
// The launcher reports the project's version. It must equal the VERSION of project() in CMakeLists.txt; a test of
// the launcher compares the two.

constexpr const char* ProjectVersion = "0.1.0";
