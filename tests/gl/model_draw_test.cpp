#include "gl_env.h"
#include "md2/md2.h"
#include "models3ds/static_model.h"

using ModelDrawTest = GlTest;

TEST_F(ModelDrawTest, MaterialTexturesLoadFromTheTextureFolder) {
    TempFile skin(greyTga(2), "skin.tga");
    const Chunk colour{0x0011, {1, 2, 3}, {}};
    const Chunk editor{0x3D3D, {}, {material3ds("plain", colour), material3ds("painted", colour, "skin.tga")}};
    TempFile model(Chunk{0x4D4D, {}, {editor}}.bytes(), "model.3ds");
    StaticModel s, t;
    s.load(model.path(), skin.folder().c_str());
    EXPECT_EQ("", shownBoxes());
    EXPECT_TRUE(s.model.materialCount == 2 && s.textures[0] == 0 && s.textures[1] != 0);
    t.load(model.path(), "/nonexistent/");  // a folder without the map reports it and leaves the slot
    EXPECT_EQ(0u, t.textures[1]);
    EXPECT_EQ("Error -20: Texture initialization failed!", shownBoxes());
}
