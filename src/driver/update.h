// The update sequence: flash mode, identification, then every block of the
// image, and out of flash mode again.
#pragma once

// Runs with the image in gUSBReadBuffer and the geometry set. Returns the
// run's status: 0 when every block verified, 1 after a refusal or the first
// failed block (no further block is tried).
int IFU();
