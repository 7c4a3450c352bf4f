#include "balls/balls.h"

#include <cmath>
#include <cstdlib>

#include "app/angles.h"
#include "app/frame_timer.h"
#include "app/paths.h"
#include "platform/platform.h"
#include "player/player.h"
#include "terrain/terrain.h"

namespace {
float frameRate() { return static_cast<float>(frameTimer.framesPerSecond); }
}  // namespace

void BallSet::init(float spread) {
    ballModel.load(DataPath("models/beachball.3ds"), DataPath("textures/"));
    shotModel.load(DataPath("models/shotbeachball.3ds"), DataPath("textures/"));
    scatter(spread);
}

void BallSet::scatter(float spread) {
    for (Ball& ball : balls) {
        ball.intact = true;
        const int r1 = std::rand();
        const int r2 = std::rand();
        const int r3 = std::rand();
        ball.x = spread * static_cast<float>((r1 % 2001) - 1000) / 1000;
        ball.y = static_cast<float>(r2 % 1001) / 1000 + 2.0f;
        ball.z = spread * static_cast<float>((r3 % 2001) - 1000) / 1000;
        ball.heading = ball.vx = ball.vy = ball.vz = 0;
    }
}

void BallSet::update() {
    const float F = frameRate();
    WeaponFire& fire = player.weaponFire;
    for (int i = 0; i < kBalls; ++i) {
        Ball& ball = balls[i];
        if (ball.intact) {
            float sx, sz;
            terrain.slopeAt(ball.x, ball.z, sx, sz);
            const float h = terrain.heightAt(ball.x, ball.z);
            if (ball.y + ball.vy / F <= h + 0.0125f) {
                ball.vx -= 2 * sx / F;
                ball.vz -= 2 * sz / F;
            }
            ball.x += ball.vx / F;
            ball.z += ball.vz / F;
            // At rest the direction is undefined; the last one is kept.
            if (ball.vx != 0 || ball.vz != 0) {
                ball.heading = std::atan(ball.vx / ball.vz) * 57.3f;
                if (ball.vz < 0) ball.heading += 180;
            }
            if (ball.y + ball.vy / F <= h) {
                ball.y = h;
                ball.vy = -0.75f * ball.vy;
            } else {
                ball.vy -= 1.5f / F;
                ball.y += ball.vy / F;
            }
        } else {
            ball.vx = ball.vy = ball.vz = 0;
        }

        for (Bullet& bullet : fire.bullets) {
            if (!(bullet.life > 0)) continue;
            const float dx = ball.x - bullet.x, dy = ball.y - bullet.y, dz = ball.z - bullet.z;
            const float distance = ball.intact ? std::sqrt(dx * dx + dy * dy + dz * dz)
                                               : std::sqrt(2 * dx * dx + dy * dy + 2 * dz * dz);
            if (distance < 0.15f) {
                bullet.life = 0;
                ball.intact = false;
            }
        }

        for (int j = 0; j < i; ++j) {
            Ball& other = balls[j];
            const float r = (ball.intact ? 0.1f : 0.05f) + (other.intact ? 0.1f : 0.05f);
            const float dx = (ball.x + ball.vx / F) - (other.x + other.vx / F);
            const float dy = (ball.y + ball.vy / F) - (other.y + other.vy / F);
            const float dz = (ball.z + ball.vz / F) - (other.z + other.vz / F);
            if (std::sqrt(dx * dx + dy * dy + dz * dz) < r) {
                const float vx = ball.vx, vy = ball.vy, vz = ball.vz;
                ball.vx = 0.75f * other.vx;
                ball.vy = 0.75f * other.vy;
                ball.vz = 0.75f * other.vz;
                other.vx = 0.75f * vx;
                other.vy = 0.75f * vy;
                other.vz = 0.75f * vz;
            }
        }
    }
}

void BallSet::draw() const {
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    for (const Ball& ball : balls) {
        glPushMatrix();
        glTranslatef(ball.x, ball.y + 0.1f, ball.z);
        if (ball.intact) {
            ballModel.draw(false, false);
        } else {
            glRotatef(ball.heading, 0, 1, 0);
            shotModel.draw(false, false);
        }
        glPopMatrix();
    }
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
}

void BallSet::release() {
    ballModel.release();
    shotModel.release();
}

bool WeaponFire::step(float x, float y, float z, float pitch, float heading) {
    const float F = frameRate();
    bool launched = false;
    if (triggerDown && triggerArmed) {
        triggerArmed = false;
        recoilState = 1;
        for (Bullet& bullet : bullets) {
            if (bullet.life > 0) continue;
            platform::playSound("data/sounds/bullet_fire_1.wav");
            const float up = std::sin(radians(pitch + 90));
            bullet.x = x;
            bullet.y = y;
            bullet.z = z;
            bullet.vx = std::sin(radians(-heading)) * up * bulletSpeed;
            bullet.vy = std::sin(radians(pitch)) * bulletSpeed;
            bullet.vz = -std::cos(radians(-heading)) * up * bulletSpeed;
            bullet.life = bulletLife;
            launched = true;
            break;
        }
    } else if (!triggerDown && !triggerArmed && recoilState == 0) {
        triggerArmed = true;
    }

    // Steps of recoilSpeed / F; the last one may pass the turning point. A
    // single step longer than the whole swing (the first two frames run at a
    // rate of 1) would throw the recoil, and with it the view's pitch, far
    // beyond it, so such a step ends at the turning point.
    const float step = recoilSpeed / F;
    const bool overlong = step > recoilMax;
    if (recoilState > 0) {
        if (recoil < recoilMax) {
            recoil += step;
            if (overlong && recoil > recoilMax) recoil = recoilMax;
        } else {
            recoilState = -1;
        }
    } else if (recoilState < 0) {
        if (recoil > -recoilMax) {
            recoil -= step;
            if (overlong && recoil < -recoilMax) recoil = -recoilMax;
        } else {
            recoil = 0;
            recoilState = 0;
        }
    }

    for (Bullet& bullet : bullets) {
        if (!(bullet.life > 0)) continue;
        const float x0 = bullet.x, y0 = bullet.y, z0 = bullet.z;
        bullet.x += bullet.vx / F;
        bullet.y += bullet.vy / F;
        bullet.z += bullet.vz / F;
        bullet.life -= 1 / F;
        if (bullet.y <= terrain.heightAt(bullet.x, bullet.z)) {
            bullet.life = 0;
            // The step may be long (half a unit at 20 frames a second): the
            // mark goes where the path met the ground along it, not where the
            // step ended below and beyond that point.
            const auto above = [&](float t) {
                const float x = x0 + t * (bullet.x - x0), z = z0 + t * (bullet.z - z0);
                return y0 + t * (bullet.y - y0) > terrain.heightAt(x, z);
            };
            float lo = 0, hi = 1;
            if (!above(0)) hi = 0;
            for (int k = 0; k < 24 && hi > 0; ++k) (above((lo + hi) / 2) ? lo : hi) = (lo + hi) / 2;
            bullet.x = x0 + hi * (bullet.x - x0);
            bullet.y = y0 + hi * (bullet.y - y0);
            bullet.z = z0 + hi * (bullet.z - z0);
            const float h = terrain.heightAt(bullet.x, bullet.z);
            float sx, sz;
            terrain.slopeAt(bullet.x, bullet.z, sx, sz);
            const float S = markSize, c = h + 0.001f;
            ImpactMark& mark = marks[nextMark % kMarks];
            const float xs[4] = {bullet.x - S / 2, bullet.x + S / 2, bullet.x + S / 2, bullet.x - S / 2};
            const float zs[4] = {bullet.z - S / 2, bullet.z - S / 2, bullet.z + S / 2, bullet.z + S / 2};
            const float ex[4] = {-1, 1, 1, -1}, ez[4] = {-1, -1, 1, 1};
            for (int k = 0; k < 4; ++k) {
                mark.cornerX[k] = xs[k];
                mark.cornerY[k] = c + ex[k] * S * sx / 2 + ez[k] * S * sz / 2;
                mark.cornerZ[k] = zs[k];
            }
            nextMark = (nextMark + 1) % kMarks;
        }
    }
    return launched;
}

void WeaponFire::drawMarks() const {
    for (const ImpactMark& mark : marks) {
        glColor3f(0, 0, 0);
        glBegin(GL_QUADS);
        for (int k = 0; k < 4; ++k) glVertex3f(mark.cornerX[k], mark.cornerY[k], mark.cornerZ[k]);
        glEnd();
    }
}

void WeaponFire::update(float x, float y, float z, float pitch, float heading) {
    step(x, y, z, pitch, heading);
    drawMarks();
}
