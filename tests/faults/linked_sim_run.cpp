// The end-to-end run helpers of the hostile-file tests, compiled into this executable too.
#include "hostile/sim_run.cpp"
