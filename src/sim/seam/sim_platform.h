#pragma once
// The simulated device's side of the platform seam (platform/platform.h), beyond the seam itself.

// Every simulated descriptor closed and every mapping of the device files unmapped.
void ResetDescriptors();
// Whether Address lies in a shared mapping of the register block or the blitter window, which only the seam's
// register accesses reach.
bool IsDeviceRegisterAddress(const volatile void* Address);
// Whether Handle is a simulated descriptor of a device file.
bool IsDeviceDescriptor(int Handle);
