// OpenGL 1.1 as the game uses it, on top of Emscripten's legacy GL
// emulation. The emulation draws glBegin/glEnd with fog and two texture
// units; this layer mends where it falls short of desktop OpenGL:
// - every vertex of a glBegin/glEnd takes the current colour, normal and
//   texture coordinates, whichever of them were given for it (the emulation
//   loses a primitive whose vertices give different attributes);
// - lighting is worked out here per vertex, as the fixed pipeline does it:
//   GL_COLOR_MATERIAL, positional lights, the global ambient; and so is
//   GL_SPHERE_MAP texture coordinate generation;
// - glMultiTexCoord2fARB, display lists of glyphs (glGenLists, glListBase,
//   glCallLists, glRasterPos2i, glPushAttrib/glPopAttrib of GL_LIST_BIT) and
//   gluBuild2DMipmaps;
// - a unit enabled with no texture bound draws untextured, as on the
//   desktop, instead of black;
// - enums WebGL does not know (GL_LIGHTING, GL_COLOR_MATERIAL, texture
//   generation, the perspective hint) stay here instead of reaching WebGL.
var LibraryValeGl = {
  $ValeGl__deps: ['$GL', '$GLImmediate', '$GLEmulation', 'glBegin', 'glEnd', 'glVertex3f', 'glTexCoord2f',
                  'glColor4f', 'glEnable', 'glDisable', 'glBindTexture', 'glActiveTexture', 'glMatrixMode',
                  'glPushMatrix', 'glPopMatrix', 'glLoadIdentity', 'glOrtho', 'glTexImage2D', 'glViewport',
                  'glHint', 'glBlendFunc'],
  $ValeGl__postset: 'ValeGl.install();',
  $ValeGl: {
    e: {},  // the emulation's own entry points
    inBegin: false,
    mode: 0,
    // The current attributes are kept in place, and a vertex's eye-space
    // work goes through the scratch arrays below: a frame's thousands of
    // vertices allocate nothing, so the collector has nothing to do.
    vertices: [],  // x, y, z, r, g, b, a, nx, ny, nz, s0, t0, s1, t1 a vertex
    color: [1, 1, 1, 1],
    normal: [0, 0, 1],
    tex: [0, 0, 0, 0],  // s, t of unit 0, then of unit 1
    eye: [0, 0, 0, 0],
    eyeNormal: [0, 0, 0],
    material: [0, 0, 0, 0],
    lit: [0, 0, 0, 0],
    vertexTex: [0, 0, 0, 0],
    unit: 0,
    textured: [false, false],
    bound: [0, 0],
    texGen: [[false, false], [false, false]],
    sphereMap: [[false, false], [false, false]],
    lighting: false,
    colorMaterial: false,
    normalize: false,
    lights: [],  // {on, ambient, diffuse, position (eye space)}
    globalAmbient: [0.2, 0.2, 0.2, 1],
    viewport: [0, 0, 0, 0],
    listBase: 0,
    nextList: 1,
    lists: {},  // glyph records by list name
    attribStack: [],
    raster: null,  // window position and colour of glRasterPos
    blendFunc: [1, 0],

    install: function() {
      // The emulation tracks texture units through hooks it puts around these
      // three once the context exists, around this layer's own; they are
      // called here instead.
      var enable = _glEnable, disable = _glDisable;
      var jit = function() { return GLImmediate.TexEnvJIT; };
      var e = ValeGl.e = {
        glBegin: _glBegin, glEnd: _glEnd, glVertex3f: _glVertex3f, glTexCoord2f: _glTexCoord2f, glColor4f: _glColor4f,
        glEnable: function(cap) { if (jit()) jit().hook_enable(cap); enable(cap); },
        glDisable: function(cap) { if (jit()) jit().hook_disable(cap); disable(cap); },
        glActiveTexture: function(texture) { if (jit()) jit().hook_activeTexture(texture); GLctx.activeTexture(texture); },
        glBindTexture: _glBindTexture,
        glMatrixMode: _glMatrixMode, glPushMatrix: _glPushMatrix, glPopMatrix: _glPopMatrix,
        glLoadIdentity: _glLoadIdentity, glOrtho: _glOrtho, glTexImage2D: _glTexImage2D, glViewport: _glViewport,
        glHint: _glHint, glBlendFunc: _glBlendFunc};
      for (var i = 0; i < 8; i++) {
        ValeGl.lights.push({on: false, ambient: [0, 0, 0, 1], diffuse: i ? [0, 0, 0, 1] : [1, 1, 1, 1],
                            position: [0, 0, 1, 0]});
      }
      _glBegin = function(mode) { ValeGl.inBegin = true; ValeGl.mode = mode; ValeGl.vertices.length = 0; };
      _glEnd = function() { ValeGl.inBegin = false; ValeGl.flush(); };
      _glVertex3f = function(x, y, z) {
        var c = ValeGl.color, n = ValeGl.normal, t = ValeGl.tex;
        ValeGl.vertices.push(x, y, z, c[0], c[1], c[2], c[3], n[0], n[1], n[2], t[0], t[1], t[2], t[3]);
      };
      _glTexCoord2f = function(s, t) { ValeGl.tex[0] = s; ValeGl.tex[1] = t; };
      _glColor4f = function(r, g, b, a) { ValeGl.setColor(r, g, b, a); };
      _glEnable = function(cap) { ValeGl.setCap(cap, true); };
      _glDisable = function(cap) { ValeGl.setCap(cap, false); };
      _glBindTexture = function(target, texture) {
        if (target == 0xDE1) ValeGl.bound[ValeGl.unit] = texture;
        e.glBindTexture(target, texture);
      };
      _glActiveTexture = function(texture) {
        ValeGl.unit = texture - 0x84C0;
        e.glActiveTexture(texture);
      };
      _glViewport = function(x, y, w, h) { ValeGl.viewport = [x, y, w, h]; e.glViewport(x, y, w, h); };
      _glHint = function(target, mode) { if (target == 0x8192 /* GL_GENERATE_MIPMAP_HINT */) e.glHint(target, mode); };
      _glBlendFunc = function(s, d) { ValeGl.blendFunc = [s, d]; e.glBlendFunc(s, d); };
      // WebGL takes no internal format other than the format itself.
      _glTexImage2D = function(target, level, internal, w, h, border, format, type, pixels) {
        e.glTexImage2D(target, level, format, w, h, border, format, type, pixels);
      };
    },

    setCap: function(cap, on) {
      var unit = ValeGl.unit;
      switch (cap) {
        case 0xB50: ValeGl.lighting = on; return;          // GL_LIGHTING
        case 0xB57: ValeGl.colorMaterial = on; return;     // GL_COLOR_MATERIAL
        case 0xBA1: ValeGl.normalize = on; return;         // GL_NORMALIZE
        case 0xC60: ValeGl.texGen[unit][0] = on; return;   // GL_TEXTURE_GEN_S
        case 0xC61: ValeGl.texGen[unit][1] = on; return;   // GL_TEXTURE_GEN_T
        case 0xDE1: ValeGl.textured[unit] = on; break;     // GL_TEXTURE_2D, the emulation's too
      }
      if (cap >= 0x4000 && cap < 0x4008) { ValeGl.lights[cap - 0x4000].on = on; return; }
      if (on) ValeGl.e.glEnable(cap); else ValeGl.e.glDisable(cap);
    },

    setColor: function(r, g, b, a) { var c = ValeGl.color; c[0] = r; c[1] = g; c[2] = b; c[3] = a; },

    // A column-major matrix times (x, y, z, w), into out (a new array if none).
    transform: function(m, x, y, z, w, out) {
      out = out || [0, 0, 0, 0];
      out[0] = m[0] * x + m[4] * y + m[8] * z + m[12] * w;
      out[1] = m[1] * x + m[5] * y + m[9] * z + m[13] * w;
      out[2] = m[2] * x + m[6] * y + m[10] * z + m[14] * w;
      out[3] = m[3] * x + m[7] * y + m[11] * z + m[15] * w;
      return out;
    },

    // The matrix normals are carried by: the inverse transpose of the
    // model-view's upper 3 x 3, rows of a column-major 3 x 3.
    normalMatrix: function(m) {
      var a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6], i = m[10];
      var A = e * i - f * h, B = f * g - d * i, C = d * h - e * g;
      var det = a * A + b * B + c * C;
      if (!det) return [1, 0, 0, 0, 1, 0, 0, 0, 1];
      var k = 1 / det;
      // (M^-1)^T = cofactor matrix / det
      return [A * k, B * k, C * k, (c * h - b * i) * k, (a * i - c * g) * k, (b * g - a * h) * k,
              (b * f - c * e) * k, (c * d - a * f) * k, (a * e - b * d) * k];
    },

    // The lit colour of a vertex, into out: what the fixed pipeline computes
    // with one material whose ambient and diffuse follow the colour (or the
    // defaults).
    defaultAmbient: [0.2, 0.2, 0.2, 1],
    defaultDiffuse: [0.8, 0.8, 0.8, 1],
    light: function(p, n, color, out) {
      var ambient = ValeGl.colorMaterial ? color : ValeGl.defaultAmbient;
      var diffuse = ValeGl.colorMaterial ? color : ValeGl.defaultDiffuse;
      var g = ValeGl.globalAmbient;
      out[0] = g[0] * ambient[0]; out[1] = g[1] * ambient[1]; out[2] = g[2] * ambient[2];
      for (var i = 0; i < 8; i++) {
        var l = ValeGl.lights[i];
        if (!l.on) continue;
        var q = l.position, lx = q[0], ly = q[1], lz = q[2];
        if (q[3] != 0) {
          lx = q[0] / q[3] - p[0] / p[3]; ly = q[1] / q[3] - p[1] / p[3]; lz = q[2] / q[3] - p[2] / p[3];
        }
        var len = Math.sqrt(lx * lx + ly * ly + lz * lz) || 1;
        var d = Math.max(0, (n[0] * lx + n[1] * ly + n[2] * lz) / len);
        for (var k = 0; k < 3; k++) out[k] += l.ambient[k] * ambient[k] + d * l.diffuse[k] * diffuse[k];
      }
      out[0] = Math.min(1, out[0]); out[1] = Math.min(1, out[1]); out[2] = Math.min(1, out[2]); out[3] = diffuse[3];
    },

    // Sphere-map coordinates from the eye-space position and normal, into
    // out[at] and out[at + 1].
    sphere: function(p, n, out, at) {
      var len = Math.sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]) || 1;
      var ux = p[0] / len, uy = p[1] / len, uz = p[2] / len;
      var d = 2 * (n[0] * ux + n[1] * uy + n[2] * uz);
      var rx = ux - n[0] * d, ry = uy - n[1] * d, rz = uz - n[2] * d;
      var m = 2 * Math.sqrt(rx * rx + ry * ry + (rz + 1) * (rz + 1)) || 1;
      out[at] = rx / m + 0.5;
      out[at + 1] = ry / m + 0.5;
    },

    // Hands the gathered primitive to the emulation, every vertex complete.
    flush: function() {
      var e = ValeGl.e, v = ValeGl.vertices, count = v.length / 14;
      if (!count) return;
      var mv = GLImmediate.matrix[0];
      var needEye = ValeGl.lighting || ValeGl.texGen[0][0] || ValeGl.texGen[1][0];
      var nm = needEye ? ValeGl.normalMatrix(mv) : null;
      // Units enabled with nothing bound draw untextured.
      var use = [ValeGl.textured[0] && ValeGl.bound[0] != 0, ValeGl.textured[1] && ValeGl.bound[1] != 0];
      var unit = ValeGl.unit;
      for (var u = 0; u < 2; u++) {
        if (ValeGl.textured[u] && !use[u]) { e.glActiveTexture(0x84C0 + u); e.glDisable(0xDE1); }
      }
      if (unit != ValeGl.unit || !use[0] || !use[1]) e.glActiveTexture(0x84C0 + unit);
      e.glBegin(ValeGl.mode);
      var p = ValeGl.eye, n = ValeGl.eyeNormal, material = ValeGl.material, lit = ValeGl.lit, tex = ValeGl.vertexTex;
      var sphere = [0, 1].map(function(u) { return ValeGl.texGen[u][0] && ValeGl.texGen[u][1] && ValeGl.sphereMap[u][0]; });
      for (var i = 0; i < count; i++) {
        var o = i * 14, r = v[o + 3], g = v[o + 4], b = v[o + 5], a = v[o + 6];
        tex[0] = v[o + 10]; tex[1] = v[o + 11]; tex[2] = v[o + 12]; tex[3] = v[o + 13];
        if (needEye) {
          ValeGl.transform(mv, v[o], v[o + 1], v[o + 2], 1, p);
          var nx = v[o + 7], ny = v[o + 8], nz = v[o + 9];
          n[0] = nm[0] * nx + nm[3] * ny + nm[6] * nz;
          n[1] = nm[1] * nx + nm[4] * ny + nm[7] * nz;
          n[2] = nm[2] * nx + nm[5] * ny + nm[8] * nz;
          if (ValeGl.normalize) {
            var nl = Math.sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) || 1;
            n[0] /= nl; n[1] /= nl; n[2] /= nl;
          }
          if (ValeGl.lighting) {
            material[0] = r; material[1] = g; material[2] = b; material[3] = a;
            ValeGl.light(p, n, material, lit);
            r = lit[0]; g = lit[1]; b = lit[2]; a = lit[3];
          }
          for (var u = 0; u < 2; u++) if (sphere[u]) ValeGl.sphere(p, n, tex, 2 * u);
        }
        if (use[0]) e.glTexCoord2f(tex[0], tex[1]);
        if (use[1]) {
          GLImmediate.vertexData[GLImmediate.vertexCounter++] = tex[2];
          GLImmediate.vertexData[GLImmediate.vertexCounter++] = tex[3];
          GLImmediate.addRendererComponent(GLImmediate.TEXTURE0 + 1, 2, GLctx.FLOAT);
        }
        e.glColor4f(r, g, b, a);
        e.glVertex3f(v[o], v[o + 1], v[o + 2]);
      }
      e.glEnd();
      for (var u = 0; u < 2; u++) {
        if (ValeGl.textured[u] && !use[u]) { e.glActiveTexture(0x84C0 + u); e.glEnable(0xDE1); }
      }
      if (!use[0] || !use[1]) e.glActiveTexture(0x84C0 + unit);
      v.length = 0;
    },

    // Draws the glyphs of lists at the raster position, as glBitmap does:
    // in the raster colour, the position advanced glyph by glyph.
    callLists: function(names) {
      var e = ValeGl.e, r = ValeGl.raster;
      if (!r) return;
      var vp = ValeGl.viewport, unit = ValeGl.unit, fog = GLEmulation.fogEnabled;
      e.glMatrixMode(0x1701); e.glPushMatrix(); e.glLoadIdentity(); e.glOrtho(0, vp[2], 0, vp[3], -1, 1);
      e.glMatrixMode(0x1700); e.glPushMatrix(); e.glLoadIdentity();
      e.glActiveTexture(0x84C1); if (ValeGl.textured[1]) e.glDisable(0xDE1);
      e.glActiveTexture(0x84C0); if (!ValeGl.textured[0]) e.glEnable(0xDE1);
      if (fog) e.glDisable(0xB60);
      var blend = GLctx.isEnabled(GLctx.BLEND);
      if (!blend) e.glEnable(0xBE2);
      e.glBlendFunc(0x302, 0x303);  // source alpha, one minus source alpha
      var x = r.x;
      for (var i = 0; i < names.length; i++) {
        var g = ValeGl.lists[ValeGl.listBase + names[i]];
        if (!g) continue;
        e.glBindTexture(0xDE1, g.texture);
        e.glBegin(7 /* GL_QUADS */);
        var x0 = Math.round(x - g.xorig), y0 = Math.round(r.y - g.yorig), x1 = x0 + g.w, y1 = y0 + g.h;
        [[g.s0, g.t1, x0, y0], [g.s1, g.t1, x1, y0], [g.s1, g.t0, x1, y1], [g.s0, g.t0, x0, y1]].forEach(function(c) {
          e.glTexCoord2f(c[0], c[1]);
          e.glColor4f(r.color[0], r.color[1], r.color[2], r.color[3]);
          e.glVertex3f(c[2], c[3], 0);
        });
        e.glEnd();
        x += g.advance;
      }
      r.x = x;
      e.glBindTexture(0xDE1, ValeGl.bound[0]);
      e.glBlendFunc(ValeGl.blendFunc[0], ValeGl.blendFunc[1]);
      if (!blend) e.glDisable(0xBE2);
      if (fog) e.glEnable(0xB60);
      if (!ValeGl.textured[0]) e.glDisable(0xDE1);
      e.glActiveTexture(0x84C1); if (ValeGl.textured[1]) e.glEnable(0xDE1);
      e.glActiveTexture(0x84C0 + unit);
      e.glMatrixMode(0x1700); e.glPopMatrix();
      e.glMatrixMode(0x1701); e.glPopMatrix();
      e.glMatrixMode(GLImmediate.currentMatrix == 1 ? 0x1701 : 0x1700);
    },
  },

  glMultiTexCoord2fARB__deps: ['$ValeGl'],
  glMultiTexCoord2fARB: function(target, s, t) {
    var u = (target - 0x84C0) & 1;
    ValeGl.tex[2 * u] = s;
    ValeGl.tex[2 * u + 1] = t;
  },

  glVertex2f__deps: ['$ValeGl'],
  glVertex2f: function(x, y) { _glVertex3f(x, y, 0); },
  glVertex3fv__deps: ['$ValeGl'],
  glVertex3fv: function(p) { _glVertex3f(HEAPF32[p >> 2], HEAPF32[(p >> 2) + 1], HEAPF32[(p >> 2) + 2]); },
  glColor3f__deps: ['$ValeGl'],
  glColor3f: function(r, g, b) { ValeGl.setColor(r, g, b, 1); },
  glColor3ub__deps: ['$ValeGl'],
  glColor3ub: function(r, g, b) { ValeGl.setColor((r & 255) / 255, (g & 255) / 255, (b & 255) / 255, 1); },
  glNormal3f__deps: ['$ValeGl'],
  glNormal3f: function(x, y, z) { var n = ValeGl.normal; n[0] = x; n[1] = y; n[2] = z; },
  glNormal3fv__deps: ['glNormal3f'],
  glNormal3fv: function(p) { _glNormal3f(HEAPF32[p >> 2], HEAPF32[(p >> 2) + 1], HEAPF32[(p >> 2) + 2]); },

  glLightfv__deps: ['$ValeGl'],
  glLightfv: function(light, pname, params) {
    var l = ValeGl.lights[light - 0x4000], v = [];
    for (var i = 0; i < 4; i++) v.push(HEAPF32[(params >> 2) + i]);
    if (pname == 0x1200) l.ambient = v;        // GL_AMBIENT
    else if (pname == 0x1201) l.diffuse = v;   // GL_DIFFUSE
    else if (pname == 0x1203) l.position = ValeGl.transform(GLImmediate.matrix[0], v[0], v[1], v[2], v[3]);  // GL_POSITION
  },
  glTexGeni__deps: ['$ValeGl'],
  glTexGeni: function(coord, pname, param) {
    if (coord == 0x2000 || coord == 0x2001) ValeGl.sphereMap[ValeGl.unit][coord - 0x2000] = param == 0x2402;
  },
  glShadeModel: function(mode) {},  // smooth, as WebGL always is

  glGenLists__deps: ['$ValeGl'],
  glGenLists: function(range) { var first = ValeGl.nextList; ValeGl.nextList += range; return first; },
  glDeleteLists: function(list, range) {},
  glListBase__deps: ['$ValeGl'],
  glListBase: function(base) { ValeGl.listBase = base; },
  glPushAttrib__deps: ['$ValeGl'],
  glPushAttrib: function(mask) { ValeGl.attribStack.push(ValeGl.listBase); },
  glPopAttrib__deps: ['$ValeGl'],
  glPopAttrib: function() { if (ValeGl.attribStack.length) ValeGl.listBase = ValeGl.attribStack.pop(); },
  glRasterPos2i__deps: ['$ValeGl'],
  glRasterPos2i: function(x, y) {
    var p = ValeGl.transform(GLImmediate.matrix[0], x, y, 0, 1);
    var c = ValeGl.transform(GLImmediate.matrix[1], p[0], p[1], p[2], p[3]), vp = ValeGl.viewport;
    ValeGl.raster = {x: vp[0] + (c[0] / c[3] + 1) / 2 * vp[2], y: vp[1] + (c[1] / c[3] + 1) / 2 * vp[3],
                     color: ValeGl.color.slice()};
  },
  glCallLists__deps: ['$ValeGl'],
  glCallLists: function(n, type, lists) {
    var names = [];
    for (var i = 0; i < n; i++) names.push(HEAPU8[lists + i]);
    ValeGl.callLists(names);
  },

  gluBuild2DMipmaps__deps: ['$ValeGl'],
  gluBuild2DMipmaps: function(target, internal, w, h, format, type, data) {
    _glTexImage2D(target, 0, format, w, h, 0, format, type, data);
    GLctx.generateMipmap(target);
    return 0;
  },
};

mergeInto(LibraryManager.library, LibraryValeGl);
