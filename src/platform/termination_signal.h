// Turning the system's polite "please end" (logout, shutdown, kill) into an ordinary event.
#pragma once

// Installs handlers for the termination and interrupt signals and returns a descriptor that
// becomes readable when one arrives, so that the event loop can end the program in order
// instead of being cut off mid-write. Returns -1 when the handlers cannot be installed; the
// signals then keep their default action. Call once per process.
int InstallTerminationSignalPipe();
// Empties the descriptor after it became readable.
void DrainTerminationSignalPipe(int fd);
// Has the system end the process `seconds` from now unless it has ended by then: an ending that
// waits on a failing disk must not keep the process alive for ever. Everything written before is
// safe, as every file the program writes survives being cut off.
void LimitTimeToEnd(unsigned seconds);
