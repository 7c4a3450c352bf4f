// The viewer walking the landscape, the weapon held in view and the weapon's
// fire record.
#pragma once

#include <cstdint>

#include "md2/md2.h"

struct Bullet {
    float x, y, z;
    float vx, vy, vz;
    float life;
};

struct ImpactMark {
    float cornerX[4];
    float cornerY[4];
    float cornerZ[4];
};

struct WeaponFire {
    static constexpr int kBullets = 20;
    static constexpr int kMarks = 20;

    ImpactMark marks[kMarks];
    Bullet bullets[kBullets];
    float bulletSpeed;
    float bulletLife;
    float markSize;
    bool triggerArmed;
    bool triggerDown;
    uint32_t nextMark;
    int32_t recoilState;
    float recoil;
    float recoilSpeed;
    float recoilMax;

    void reset(bool keepSettings);
    // Trigger, recoil, bullet flight and impacts for one frame; then draws
    // the marks.
    void update(float x, float y, float z, float pitch, float heading);
    // The same without the drawing (true when a bullet was launched).
    bool step(float x, float y, float z, float pitch, float heading);
    void drawMarks() const;
};

class Player {
public:
    WeaponFire weaponFire{};
    Md2Model weaponModel;
    uint32_t weaponTexture = 0;
    float x = 0, y = 0, z = 0;
    float pitch = 0, heading = 0, roll = 0;
    float vx = 0, vy = 0, vz = 0;
    float fieldOfView = 55;
    float walkSpeed = 2.0f;
    float runSpeed = 3.5f;
    float gravity = 2.5f;
    float acceleration = 7.5f;
    float forward = 0;
    float strafe = 0;
    float eyeHeight = 0.25f;
    bool running = false;
    bool runKeyReleased = true;

    void init();
    // Puts the player back at the origin with the initial settings.
    void resetMotion();
    void update();
    void publishCamera() const;
    void drawWeapon();
    void release();
};

extern Player player;
