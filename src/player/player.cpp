#include "player/player.h"

#include <algorithm>
#include <cmath>

#include "app/angles.h"
#include "app/frame_timer.h"
#include "app/input.h"
#include "app/paths.h"
#include "platform/platform.h"
#include "terrain/camera.h"
#include "terrain/terrain.h"
#include "textures/textures.h"

namespace {

// One of the four steering rules: towards +1 while the first key is held,
// towards -1 while the second is, otherwise back towards 0; with neither
// held it stops at 0 (a step past it would swing the factor about 0 from
// frame to frame, and the player drift backwards).
void steer(float& factor, bool increase, bool decrease, float d) {
    const bool held = increase || decrease;
    if (increase && factor < 1) factor += d;
    else if (decrease && factor > -1) factor -= d;
    else if (factor < 0) factor = held ? factor + d : std::min(0.0f, factor + d);
    else if (factor > 0) factor = held ? factor - d : std::max(0.0f, factor - d);
}
}  // namespace

void Player::init() {
    weaponModel.load(DataPath("Models/Weapon.md2"));
    loadTexture(DataPath("Textures/Weapon.tga"), weaponTexture, 128);
    weaponFire.reset(false);
    resetMotion();
}

void Player::resetMotion() {
    x = y = z = 0;
    pitch = heading = roll = 0;
    vx = vy = vz = 0;
    fieldOfView = 55;
    walkSpeed = 2.0f;
    runSpeed = 3.5f;
    gravity = 2.5f;
    acceleration = 7.5f;
    forward = strafe = 0;
    eyeHeight = 0.25f;
    running = false;
    runKeyReleased = true;
}

void Player::update() {
    const float F = static_cast<float>(frameTimer.framesPerSecond);
    const bool* keys = keyboard.keys;
    const float d = acceleration / F;

    if (keys[kKeyEnd] && runKeyReleased) {
        runKeyReleased = false;
        running = !running;
    } else if (!keys[kKeyEnd]) {
        runKeyReleased = true;
    }

    const float ground = terrain.heightAt(x, z);

    if (y + vy / F <= ground + 0.05f) {
        steer(forward, keys[kKeyW], keys[kKeyS], d);
        steer(strafe, keys[kKeyA], keys[kKeyD], d);
    }

    const float s = (running ? runSpeed : walkSpeed) * eyeHeight;
    const float a = heading * kPi / 180;
    vx = s * (forward * std::sin(-a) - strafe * std::sin(kPi / 2 - a));
    vz = s * (-forward * std::cos(-a) + strafe * std::cos(kPi / 2 - a));

    const float half = terrain.worldSize / 2;
    const float newX = x + vx / F;
    if (newX > -half && newX < half) x = newX;
    const float newZ = z + vz / F;
    if (newZ > -half && newZ < half) z = newZ;

    if (y + vy / F <= ground) {
        y = ground;
        vy = 0;
    } else {
        vy -= gravity / F;
        y += vy / F;
    }

    if (keys[kKeyShift] && y <= ground) vy = 0.75f;

    if (keys[kKeyControl] && eyeHeight > 0.175f) eyeHeight -= 0.5f / F;
    else if (!keys[kKeyControl] && eyeHeight < 0.25f) eyeHeight += 0.5f / F;

    pitch -= kTurnDegreesPerPixel * static_cast<float>(mouse.deltaY);
    pitch += weaponFire.recoil;
    if (pitch > 67.5f) pitch = 67.5f;
    else if (pitch < -90) pitch = -90;

    heading -= kTurnDegreesPerPixel * static_cast<float>(mouse.deltaX);

    if (mouse.rightButton && fieldOfView > 20) fieldOfView -= 180 / F;
    else if (!mouse.rightButton && fieldOfView < 55) fieldOfView += 180 / F;

    weaponFire.triggerDown = mouse.leftButton;
}

void Player::publishCamera() const {
    Camera.x = x;
    Camera.y = y + eyeHeight;
    Camera.z = z;
    Camera.pitch = pitch;
    Camera.heading = heading;
    Camera.roll = roll;
    Camera.fieldOfView = fieldOfView;
}

void Player::drawWeapon() {
    glWindow.glActiveTextureARB(kGlTexture0Arb);
    glBindTexture(GL_TEXTURE_2D, weaponTexture);
    glPushMatrix();
    glTranslatef(0.0275f, -0.15f, -0.075f);
    glRotatef(90, 0, 1, 0);
    glRotatef(weaponFire.recoil * 7.5f, 1, 0, 0);
    glScalef(0.15f, 0.15f, 0.15f);
    weaponModel.draw(Md2Model::kContinue);
    glPopMatrix();
}

void Player::release() { weaponModel.release(); }

void WeaponFire::reset(bool keepSettings) {
    if (!keepSettings) {
        bulletSpeed = 10.0f;
        bulletLife = 10.0f;
        markSize = 0.005f;
        recoilSpeed = 20.0f;
        recoilMax = 0.5f;
    }
    for (Bullet& b : bullets) b.life = 0;
    triggerArmed = true;
    triggerDown = false;
    recoilState = 1;
    recoil = 0;
    nextMark = 0;
}
