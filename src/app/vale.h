// Start-up, the message and frame loop, and shutdown.
#pragma once

void drawFrame();
// The program from configuration to shutdown; returns the exit status.
int valeMain();
