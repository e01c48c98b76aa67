#pragma once
// The device layer's start-up step: nothing open (register window count 0, video not ready, framebuffer
// descriptors negative). The run frame calls it before the logger starts; tests call it to begin afresh.

void DeviceInitialization();
