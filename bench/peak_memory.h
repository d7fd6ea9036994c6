#pragma once
// This process's resident memory as Linux counts it, for the benchmark's readings.

namespace tableau::bench {

// Hands freed heap back to the system, then starts a new peak from the memory resident
// now (Linux keeps the peak as VmHWM and resets it through clear_refs), so that each
// reading shows its own.
void AzzeraPicco();

// The peak since the last AzzeraPicco(), and the memory resident now, in MB.
long PiccoMB();
long ResidenteMB();

}  // namespace tableau::bench
