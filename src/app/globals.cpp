// The program-wide objects, defined in one place so that they are
// constructed in this order (and the three with destructors are destroyed in
// the reverse one).
#include "app/config.h"
#include "app/font.h"
#include "app/frame_timer.h"
#include "app/input.h"
#include "balls/balls.h"
#include "platform/platform.h"
#include "player/player.h"
#include "terrain/camera.h"
#include "terrain/terrain.h"

CameraView Camera;
BallSet ballSet;
Player player;
Config config;
Font font;
Keyboard keyboard;
Mouse mouse;
FrameTimer frameTimer;

GlWindow glWindow;
Terrain terrain;
