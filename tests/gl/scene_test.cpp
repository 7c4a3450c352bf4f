#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

#include "app/config.h"
#include "app/gl_window.h"
#include "app/vale.h"
#include "gl_context.h"
#include "platform/testing/test_platform.h"
#include "terrain/camera.h"
#include "terrain/terrain.h"
#include "player/player.h"

TEST(Scene, FullFrameFromGeneratedData) {
    GlContext context(1024, 768);
    ASSERT_TRUE(context.ok());
    useContextForPlatform(context);
    ASSERT_EQ(0, chdir(VALE_DATA_PARENT));
    config = Config{};
    initGl();
    EXPECT_TRUE(testplatform::boxes.empty()) << testplatform::boxes[0].caption << testplatform::boxes[0].text;
    for (int i = 0; i < 3; ++i) drawFrame();
    context.capture();
    std::printf("camera %f %f %f pitch %f heading %f ground %f\n", Camera.x, Camera.y, Camera.z, Camera.pitch,
                Camera.heading, terrain.heightAt(0, 0));
    for (int y = 0; y < 768; y += 64) {
        for (int x = 0; x < 1024; x += 128) {
            Rgb p = context.pixel(x, y);
            std::printf("%02x%02x%02x ", p.r, p.g, p.b);
        }
        std::printf("\n");
    }
}
