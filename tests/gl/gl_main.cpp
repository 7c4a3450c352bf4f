#include <gtest/gtest.h>

#include "app/font.h"
#include "app/gl_window.h"
#include "gl_env.h"

GlContext* context = nullptr;

namespace {
class ContextEnvironment : public testing::Environment {
    void SetUp() override {
        context = new GlContext(1024, 768);
        if (!context->ok()) return;
        useContextForPlatform(*context);
        glWindow.glActiveTextureARB =
            reinterpret_cast<ActiveTextureArbFn>(testplatform::procAddress("glActiveTextureARB"));
        glWindow.glMultiTexCoord2fARB =
            reinterpret_cast<MultiTexCoord2fArbFn>(testplatform::procAddress("glMultiTexCoord2fARB"));
        font.build("Courier", 8);
    }
    void TearDown() override {
        delete context;
        context = nullptr;
    }
};
}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new ContextEnvironment);
    return RUN_ALL_TESTS();
}
