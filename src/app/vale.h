// Start-up, the message and frame loop, and shutdown.
#pragma once

// The OpenGL state, the multitexture entry points, the font and the scene;
// once, after a successful platform::createGlWindow().
void initGl();
void drawFrame();
// The program from configuration to shutdown; returns the exit status.
int valeMain();
