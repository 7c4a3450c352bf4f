// Loading of everything the scene shows, the light and fog, and the fixed
// order of one frame's drawing.
#pragma once

#include <cstdint>

extern uint32_t landscapeTexture;
extern uint32_t landmapTexture;
extern uint32_t crosshairTexture;
extern uint32_t ballTexture;
extern float lightAmbient[4];
extern float lightDiffuse[4];
extern float lightPosition[4];
extern float fogColor[4];

void initScene();
void loadSceneData();
void initFogAndLight();
void drawScene();
void releaseScene();
