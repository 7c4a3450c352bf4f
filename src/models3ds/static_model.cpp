#include "models3ds/static_model.h"

#include <cstdio>

#include "platform/platform.h"
#include "textures/textures.h"

namespace {
constexpr int32_t kTextureSlots = 99;
}

void StaticModel::load(const char* path, const char* textureDir) {
    loader.import(model, path);
    // Materials past the table's 99 slots get no texture.
    for (int32_t i = 0; i < model.materialCount && i < kTextureSlots; ++i) {
        const Material3ds& material = model.materials[static_cast<size_t>(i)];
        if (material.mapFile[0] == '\0') continue;
        char texturePath[512];
        if (std::snprintf(texturePath, sizeof texturePath, "%s%s", textureDir, material.mapFile) >=
            static_cast<int>(sizeof texturePath))
            continue;
        loadTexture(texturePath, textures[i], 256);
    }
}

namespace {

// Normal, then the texture coordinate or the colour where given, then the
// vertex, for every corner of every face.
inline void emitFaces(const Object3ds& object, const TexCoord* texCoords, const uint8_t* color) {
    const Vec3* normals = object.normals.data();
    const Vec3* vertices = object.vertices.data();
    const size_t texCoordCount = object.texCoords.size();
    for (const Face3ds& face : object.faces) {
        for (int corner = 0; corner < 3; ++corner) {
            const size_t k = static_cast<size_t>(face.vertexIndex[corner]);
            glNormal3fv(&normals[k].x);
            if (texCoords && k < texCoordCount)
                glWindow.glMultiTexCoord2fARB(kGlTexture0Arb, texCoords[k].u, texCoords[k].v);
            if (color) glColor3ub(color[0], color[1], color[2]);
            glVertex3fv(&vertices[k].x);
        }
    }
}

}  // namespace

void StaticModel::draw(bool useColor, bool useTexture) const {
    glPushMatrix();
    glRotatef(-90, 1, 0, 0);
    for (int32_t o = 0; o < model.objectCount; ++o) {
        const Object3ds& object = model.objects[static_cast<size_t>(o)];
        const bool hasMaterial = object.materialIndex >= 0 && object.materialIndex < model.materialCount;
        if (object.hasTexture) {
            if (useColor) glColor3ub(255, 255, 255);
            if (useTexture) {
                glEnable(GL_TEXTURE_2D);
                glBindTexture(GL_TEXTURE_2D,
                              object.materialIndex < kTextureSlots ? textures[object.materialIndex] : 0);
            }
        } else if (useTexture) {
            glDisable(GL_TEXTURE_2D);
        }
        const TexCoord* texCoords = object.hasTexture && !object.texCoords.empty() ? object.texCoords.data() : nullptr;
        // An object whose material is missing keeps the caller's colour.
        const uint8_t* color = !object.hasTexture && useColor && hasMaterial
                                   ? model.materials[static_cast<size_t>(object.materialIndex)].color
                                   : nullptr;
        glBegin(GL_TRIANGLES);
        if (texCoords || color)
            emitFaces(object, texCoords, color);
        else
            emitFaces(object, nullptr, nullptr);  // the balls' case, kept tight
        glEnd();
    }
    glPopMatrix();
    if (useTexture) glDisable(GL_TEXTURE_2D);
}

void StaticModel::release() {
    for (Object3ds& object : model.objects) object.releaseArrays();
}
