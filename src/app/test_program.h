#pragma once
// The test program: start-up, frame loop and shutdown, run once per process inside the run frame.

void TestProgram();
