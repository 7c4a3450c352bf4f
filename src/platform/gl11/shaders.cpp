// The one program the layer draws with: OpenGL 1.1's fixed pipeline as the
// game uses it, its parts switched by uniforms (so it is compiled once, at
// start). Per vertex (its position and normal come in eye space): the
// projection, lighting (the lights
// in eye space, GL_COLOR_MATERIAL's ambient and diffuse, the global
// ambient), sphere-map generation and the fog's eye distance. Per fragment:
// two texture units, each modulating, the fog and the alpha test.
namespace gl11 {

extern const char kVertexSource[] = R"(
attribute vec3 aPosition;
attribute vec3 aNormal;
attribute vec4 aColor;
attribute vec2 aTex0;
attribute vec2 aTex1;
uniform mat4 uProjection;
uniform bool uLighting;
uniform bool uColorMaterial;
uniform bool uNormalize;
uniform vec4 uGen;  // s and t of unit 0, of unit 1: 1 where sphere-mapped
uniform int uLightCount;
uniform vec4 uLightPosition[8];
uniform vec4 uLightAmbient[8];
uniform vec4 uLightDiffuse[8];
uniform vec4 uGlobalAmbient;
varying vec4 vColor;
varying vec2 vTex0;
varying vec2 vTex1;
varying float vFogDistance;

vec2 sphereMap(vec3 u, vec3 n) {
  vec3 r = u - 2.0 * dot(n, u) * n;
  float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
  return m > 0.0 ? r.xy / m + 0.5 : vec2(0.5);
}

void main() {
  vec4 eye = vec4(aPosition, 1.0);
  gl_Position = uProjection * eye;
  vec3 n = aNormal;
  if (uNormalize) n = normalize(n);
  vColor = aColor;
  if (uLighting) {
    // The material's ambient and diffuse follow the colour, or are the defaults.
    vec4 ambient = uColorMaterial ? aColor : vec4(0.2, 0.2, 0.2, 1.0);
    vec4 diffuse = uColorMaterial ? aColor : vec4(0.8, 0.8, 0.8, 1.0);
    vec3 c = uGlobalAmbient.rgb * ambient.rgb;
    for (int i = 0; i < 8; ++i) {
      if (i >= uLightCount) break;
      vec4 p = uLightPosition[i];
      vec3 l = p.w != 0.0 ? p.xyz / p.w - eye.xyz : p.xyz;
      float d = max(dot(n, normalize(l)), 0.0);
      c += uLightAmbient[i].rgb * ambient.rgb + d * uLightDiffuse[i].rgb * diffuse.rgb;
    }
    vColor = vec4(clamp(c, 0.0, 1.0), diffuse.a);
  }
  vec2 sphere = uGen == vec4(0.0) ? vec2(0.0) : sphereMap(normalize(eye.xyz), n);
  vTex0 = mix(aTex0, sphere, uGen.xy);
  vTex1 = mix(aTex1, sphere, uGen.zw);
  vFogDistance = abs(eye.z);
}
)";

extern const char kFragmentSource[] = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D uUnit0;
uniform sampler2D uUnit1;
uniform bool uTexture0;
uniform bool uTexture1;
uniform int uFogMode;  // 0 none, 1 linear, 2 exp, 3 exp2
uniform vec4 uFog;     // density, start, end
uniform vec4 uFogColor;
uniform int uAlphaFunc;  // 0 always, then never, less, equal, lequal, greater, notequal, gequal
uniform float uAlphaRef;
varying vec4 vColor;
varying vec2 vTex0;
varying vec2 vTex1;
varying float vFogDistance;

void main() {
  vec4 c = vColor;
  if (uTexture0) c *= texture2D(uUnit0, vTex0);
  if (uTexture1) c *= texture2D(uUnit1, vTex1);
  if (uFogMode != 0) {
    float z = vFogDistance, f;
    if (uFogMode == 1) f = (uFog.z - z) / (uFog.z - uFog.y);
    else if (uFogMode == 2) f = exp(-uFog.x * z);
    else f = exp(-(uFog.x * z) * (uFog.x * z));
    c.rgb = mix(uFogColor.rgb, c.rgb, clamp(f, 0.0, 1.0));
  }
  if (uAlphaFunc != 0) {
    float a = c.a, r = uAlphaRef;
    bool pass = uAlphaFunc == 2 ? a < r : uAlphaFunc == 3 ? a == r : uAlphaFunc == 4 ? a <= r :
                uAlphaFunc == 5 ? a > r : uAlphaFunc == 6 ? a != r : uAlphaFunc == 7 ? a >= r : false;
    if (!pass) discard;
  }
  gl_FragColor = c;
}
)";

}  // namespace gl11
