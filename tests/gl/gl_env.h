// One real context for the whole OpenGL test program.
#pragma once

#include <gtest/gtest.h>

#include "app/config.h"
#include "gl_context.h"
#include "platform/testing/test_platform.h"

extern GlContext* context;

class GlTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, context);
        ASSERT_TRUE(context->ok());
        testplatform::reset();
        config = Config{};
    }
};
