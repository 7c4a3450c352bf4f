// Play by touch: on a touch screen a layer over the canvas turns touches
// into the events the keyboard and mouse give, so the game reads them as it
// reads those. Under the left thumb, wherever it lands, a stick whose
// direction holds W, A, S and D (eight directions, a dead zone at its
// middle); a drag on the rest of the screen turns the view, 180 degrees a
// screen width (the game turns 0.1 degrees a mouse pixel); buttons for
// fire and zoom (the mouse buttons), jump, crouch, walk/run and the end of
// the run (Shift, Ctrl, End, Escape), each held while touched. Every finger
// is followed on its own; one lifted or cancelled lets go of what it held.
var LibraryValeTouch = {
  $ValeTouch__deps: ['$ValePage'],
  $ValeTouch: {
    layer: null,
    fingers: {},  // by pointer id: {stick: {x, y, keys}} or {look: {x, y, dx, dy}} or {action}
    // Is this a touch screen?
    offered: function() {
      return 'ontouchstart' in window || navigator.maxTouchPoints > 0 || matchMedia('(pointer: coarse)').matches;
    },
    keys: {},  // the virtual-key codes the game reads, by what they do (the backend's, given at start)
    degreesPerPixel: 0,  // the game's turn for a mouse pixel (the backend's)
    // Each button: its class, label, and the mouse button (0 left, 2 right) or the key it holds.
    buttons: [['fire', 'Fire', 'button', 0], ['zoom', 'Zoom', 'button', 2], ['jump', 'Jump', 'key', 'jump'],
              ['crouch', 'Crouch', 'key', 'crouch'], ['run', 'Walk/Run', 'key', 'run'], ['quit', 'End', 'key', 'quit']],

    // A press or release, as the key or button's own (the backend holds a
    // short tap's release until a frame has seen the press).
    press: function(action, down) {
      var c = ValePage.code;
      ValePage.events.push(action[0] == 'key' ? [down ? c.keyDown : c.keyUp, action[1], 0]
                                              : [down ? c.buttonDown : c.buttonUp, action[1], 0]);
    },
    // The stick's keys for a push of (dx, dy) pixels from where it landed.
    stickKeys: function(dx, dy) {
      if (Math.hypot(dx, dy) < 16) return '';
      var sector = (Math.round(Math.atan2(-dy, dx) / (Math.PI / 4)) + 8) % 8;
      return ['D', 'WD', 'W', 'WA', 'A', 'SA', 'S', 'SD'][sector];
    },
    steer: function(stick, keys) {
      var codes = ValeTouch.keys;
      for (var k of ['W', 'A', 'S', 'D']) {
        var was = stick.keys.indexOf(k) >= 0, now = keys.indexOf(k) >= 0;
        if (was != now) ValeTouch.press(stick[k] = stick[k] || ['key', codes[k]], now);
      }
      stick.keys = keys;
    },

    start: function() {
      var layer = ValeTouch.layer = document.createElement('div'), knob = document.createElement('div');
      layer.id = 'touch';
      knob.className = 'stick';
      knob.hidden = true;
      layer.appendChild(knob);
      ValeTouch.buttons.forEach(function(b) {
        var button = document.createElement('button');
        button.className = b[0];
        button.textContent = b[1];
        button.dataset.action = b[2] + ' ' + (b[2] == 'key' ? ValeTouch.keys[b[3]] : b[3]);
        layer.appendChild(button);
      });
      document.body.appendChild(layer);
      document.body.classList.add('touch');
      // Fingers as pointer events (a pen's too, not the mouse's), listened for
      // on the document; a pointer that went down elsewhere (a box's button)
      // is left to the page. touch-action keeps the browser from scrolling
      // or zooming while playing.
      var listen = function(type, handler) {
        ValePage.listen(document, type, function(e) {
          if (e.pointerType == 'mouse' || !(layer.contains(e.target) || e.pointerId in ValeTouch.fingers)) return;
          handler(e);
          if (e.cancelable) e.preventDefault();
        }, {passive: false});
      };
      listen('pointerdown', function(t) {
        var button = t.target.closest && t.target.closest('[data-action]'), f;
        if (button) {
          var a = button.dataset.action.split(' ');
          f = {action: [a[0], +a[1]], button: button};
          button.classList.add('held');
          ValeTouch.press(f.action, true);
        } else if (t.clientX < innerWidth * 0.4) {
          f = {stick: {x: t.clientX, y: t.clientY, keys: ''}};
          knob.style.left = t.clientX + 'px';
          knob.style.top = t.clientY + 'px';
          knob.hidden = false;
        } else {
          f = {look: {x: t.clientX, y: t.clientY, dx: 0, dy: 0}};
        }
        ValeTouch.fingers[t.pointerId] = f;
      });
      listen('pointermove', function(t) {
        var f = ValeTouch.fingers[t.pointerId];
        if (f && f.stick) ValeTouch.steer(f.stick, ValeTouch.stickKeys(t.clientX - f.stick.x, t.clientY - f.stick.y));
        if (f && f.look) {
          var look = f.look, scale = Math.round(180 / ValeTouch.degreesPerPixel) / innerWidth;
          look.dx += (t.clientX - look.x) * scale;
          look.dy += (t.clientY - look.y) * scale;
          look.x = t.clientX;
          look.y = t.clientY;
          var dx = Math.trunc(look.dx), dy = Math.trunc(look.dy);
          if (dx || dy) ValePage.events.push([ValePage.code.motion, dx, dy]);
          look.dx -= dx;
          look.dy -= dy;
        }
      });
      var lift = function(t) {
        var f = ValeTouch.fingers[t.pointerId];
        delete ValeTouch.fingers[t.pointerId];
        if (f && f.stick) { ValeTouch.steer(f.stick, ''); knob.hidden = true; }
        if (f && f.action) { ValeTouch.press(f.action, false); f.button.classList.remove('held'); }
      };
      listen('pointerup', lift);
      listen('pointercancel', lift);
      ValePage.listen(layer, 'contextmenu', function(e) { e.preventDefault(); });
    },
    stop: function() {
      if (ValeTouch.layer) ValeTouch.layer.remove();
      ValeTouch.layer = null;
      ValeTouch.fingers = {};
      document.body.classList.remove('touch');
    },
  },
};

mergeInto(LibraryManager.library, LibraryValeTouch);
