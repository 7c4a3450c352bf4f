#include <gtest/gtest.h>
#include "gl_env.h"
