#pragma once
// The simulated device's side of the platform seam (platform/platform.h), beyond the seam itself.

// Every simulated descriptor closed and every mapping of the device files unmapped.
void ResetDescriptors();
