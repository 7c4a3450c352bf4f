#include "terrain/scene.h"

#include "app/config.h"
#include "app/paths.h"
#include "app/projection.h"
#include "balls/balls.h"
#include "platform/platform.h"
#include "player/player.h"
#include "terrain/camera.h"
#include "terrain/terrain.h"
#include "textures/textures.h"

uint32_t landscapeTexture;
uint32_t landmapTexture;
uint32_t crosshairTexture;
uint32_t ballTexture;
float lightAmbient[4];
float lightDiffuse[4];
float lightPosition[4];
float fogColor[4];

namespace {
void setFour(float* target, float a, float b, float c, float d) {
    target[0] = a;
    target[1] = b;
    target[2] = c;
    target[3] = d;
}
}  // namespace

void initScene() {
    loadSceneData();
    initFogAndLight();
}

void loadSceneData() {
    ballSet.init(5.0f);
    player.init();
    terrain.load(DataPath("Heightmaps/Landscape.tga"), 50.0f, 0.01f, 128, 100.0f, 100.0f);
    loadTexture(DataPath("Textures/Landscape.tga"), landscapeTexture, 256);
    loadTexture(DataPath("Textures/Landmap.tga"), landmapTexture, 256);
    loadTexture(DataPath("Textures/Crosshair.tga"), crosshairTexture, 64);
    loadTexture(DataPath("Textures/Ball.tga"), ballTexture, 64);
}

void initFogAndLight() {
    setFour(lightAmbient, 0, 0, 0, 1);
    setFour(lightDiffuse, 1, 1, 1, 1);
    setFour(lightPosition, -75, 25, 50, 1);
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glEnable(GL_LIGHT0);
    setFour(fogColor, 0.5f, 0.5f, 0.525f, 1);
    glFogfv(GL_FOG_COLOR, fogColor);
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogf(GL_FOG_DENSITY, 0.4f);
    glHint(GL_FOG_HINT, GL_NICEST);
    glFogf(GL_FOG_START, 49.0f);
    glFogf(GL_FOG_END, 50.0f);
    glClearColor(0.5f, 0.5f, 0.525f, 0);
}

void drawScene() {
    const ActiveTextureArbFn selectUnit = glWindow.glActiveTextureARB;
    const MultiTexCoord2fArbFn texCoord = glWindow.glMultiTexCoord2fARB;
    glLoadIdentity();
    ballSet.update();
    player.update();
    player.publishCamera();
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    player.drawWeapon();
    glRotatef(-Camera.pitch, 1, 0, 0);
    glRotatef(-Camera.heading, 0, 1, 0);
    glRotatef(-Camera.roll, 0, 0, 1);
    glTranslatef(-Camera.x, -Camera.y, -Camera.z);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
    selectUnit(kGlTexture0Arb);
    glBindTexture(GL_TEXTURE_2D, ballTexture);
    ballSet.draw();
    glBindTexture(GL_TEXTURE_2D, landscapeTexture);
    selectUnit(kGlTexture1Arb);
    glBindTexture(GL_TEXTURE_2D, landmapTexture);
    terrain.draw(Camera.x, Camera.z, 7.0f);
    selectUnit(kGlTexture1Arb);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    player.weaponFire.update(Camera.x, Camera.y, Camera.z, Camera.pitch, Camera.heading);
    glDisable(GL_FOG);
    glPopMatrix();

    orthoMode();
    glColor3f(1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    selectUnit(kGlTexture0Arb);
    glBindTexture(GL_TEXTURE_2D, crosshairTexture);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_SRC_ALPHA);
    const float w = static_cast<float>(static_cast<uint32_t>(config.resolution_width)) / 2;
    const float h = static_cast<float>(static_cast<uint32_t>(config.resolution_height)) / 2;
    glBegin(GL_QUADS);
    texCoord(kGlTexture0Arb, 0, 1);
    glVertex2f(w - 32, h + 32);
    texCoord(kGlTexture0Arb, 1, 1);
    glVertex2f(w + 32, h + 32);
    texCoord(kGlTexture0Arb, 1, 0);
    glVertex2f(w + 32, h - 32);
    texCoord(kGlTexture0Arb, 0, 0);
    glVertex2f(w - 32, h - 32);
    glEnd();
    glDisable(GL_BLEND);
    perspectiveMode();
    glDisable(GL_TEXTURE_2D);
}

void releaseScene() {
    ballSet.release();
    player.release();
}
