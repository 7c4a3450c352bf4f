#include "app/projection.h"

#include <cstdint>

#include "app/config.h"
#include "platform/opengl.h"
#include "terrain/camera.h"

namespace {
double width() { return static_cast<double>(static_cast<uint32_t>(config.resolution_width)); }
double height() { return static_cast<double>(static_cast<uint32_t>(config.resolution_height)); }
}  // namespace

void orthoMode() {
    glDisable(GL_DEPTH_TEST);
    glViewport(0, 0, static_cast<GLsizei>(width()), static_cast<GLsizei>(height()));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width(), height(), 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void perspectiveMode() {
    glEnable(GL_DEPTH_TEST);
    glViewport(0, 0, static_cast<GLsizei>(width()), static_cast<GLsizei>(height()));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(Camera.fieldOfView, width() / height(), 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
