#include "app/vale.h"

#include "app/config.h"
#include "app/font.h"
#include "app/frame_timer.h"
#include "app/input.h"
#include "app/projection.h"
#include "platform/platform.h"
#include "platform/texts.h"
#include "terrain/scene.h"

void initGl() {
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_COLOR_MATERIAL);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glHint(GL_FOG_HINT, GL_NICEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glWindow.glActiveTextureARB = reinterpret_cast<ActiveTextureArbFn>(platform::glProcAddress("glActiveTextureARB"));
    glWindow.glMultiTexCoord2fARB =
        reinterpret_cast<MultiTexCoord2fArbFn>(platform::glProcAddress("glMultiTexCoord2fARB"));
    if (!glWindow.glActiveTextureARB || !glWindow.glMultiTexCoord2fARB) {
        platform::messageBox(texts::kMultitexture, platform::kBoxPlain);
        platform::postQuitMessage(0);
    }
    font.build("Courier", 8);
    initScene();
}

void drawFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    perspectiveMode();
    mouse.update(true);
    frameTimer.update();
    drawScene();
    if (config.frameratecounter != 0) frameTimer.drawCounter();
    glFlush();
}

int valeMain() {
    config.load("Config.cfg");
    if (!platform::createGlWindow()) return 0;
    initGl();
    frameTimer.start();
    // Should the display go away, the run's log is still written.
    platform::setLostHandler([] { frameTimer.saveResults("fps.txt"); });

    bool done = false;
    int exitCode = 0;
    while (!done) {
        bool quit = false;
        if (platform::pumpMessage(quit, exitCode)) {
            done = quit;
        } else if (glWindow.active) {
            if (keyboard.keys[kKeyEscape]) {
                done = true;
            } else {
                drawFrame();
                platform::swapGlBuffers();
            }
        }
    }

    frameTimer.saveResults("fps.txt");
    platform::setLostHandler(nullptr);
    platform::killGlWindow();
    releaseScene();
    return exitCode;
}
