// The browser backend's side in the page: input as the game's events,
// message boxes as modal dialogs, the firing sound through Web Audio, the
// bitmap font's glyphs, the end of a run, the console's lines and the
// program's files (web_files.cpp) as the page reads and writes them.
//
// Nothing the browser throws may reach the game: every entry point the
// program calls catches it (valeGuarded) and goes on as the desktop builds
// would; what the person should know (no sound, no WebGL) goes to the page
// through Module.notice.
var LibraryValePage = {
  $ValePage__deps: ['$ValeTouch'],
  $ValePage: {
    events: [],  // [type, a, b]: key down or up (virtual-key code), motion (dx, dy), button down or up
                 // (0 left, 2 right), active (flag); the types are the backend's, given at init
    code: null,
    box: null,
    sounds: {},     // decoded sounds by file name, as promises
    playing: null,  // the source playing now
    audio: null,
    started: 0,     // sounds started, for the page and its tests
    frames: 0,      // frames drawn
    onFrame: null,
    listeners: [],  // [target, type, handler] of the run, taken off when it ends
    printed: ['', '', ''],  // by descriptor: the line being printed, not yet ended

    // The program's files, by name ("data/Config.cfg"): the downloaded
    // vale.data copied once into its memory and mounted as data/ (false when
    // it is no archive of files), a whole file's bytes (null for none), one
    // written whole (bytes or text), one removed (false for none).
    files: {
      // f(name on the stack, n): not by ccall, which between two frames (the
      // program asleep) would answer with a promise.
      call: function(f, name, n) {
        var stack = stackSave();
        try { return f(allocateUTF8OnStack(name), n); } finally { stackRestore(stack); }
      },
      mount: function(bytes) {
        var at = _vale_files_archive(bytes.byteLength);  // (the memory may grow: HEAPU8 after it)
        HEAPU8.set(new Uint8Array(bytes), at);
        return _vale_files_mount() != 0;
      },
      read: function(name) {
        var at = ValePage.files.call(_vale_files_find, name) >> 2;
        return at ? HEAPU8.slice(HEAPU32[at], HEAPU32[at] + HEAPU32[at + 1]) : null;
      },
      write: function(name, data) {
        var bytes = typeof data == 'string' ? new TextEncoder().encode(data) : data;
        var at = ValePage.files.call(_vale_files_replace, name, bytes.length);
        HEAPU8.set(bytes, at);
      },
      remove: function(name) { return ValePage.files.call(_vale_files_remove, name) != 0; },
    },

    canvas: function() { return Module['canvas']; },
    notice: function(text) { if (Module['notice']) Module['notice'](text); },

    // Asks the browser for what it may refuse by a promise or by a throw.
    ask: function(f) {
      try {
        var asked = f();
        if (asked && asked.catch) asked.catch(function() {});
      } catch (e) {}
    },
    listen: function(target, type, handler, options) {
      target.addEventListener(type, handler, options);
      ValePage.listeners.push([target, type, handler, options]);
    },
    // The run is over: the page's keys and mouse are the page's again.
    stop: function() {
      ValePage.listeners.forEach(function(l) { l[0].removeEventListener(l[1], l[2], l[3]); });
      ValeTouch.stop();
      ValePage.listeners = [];
      ValePage.events = [];
      if (ValePage.playing) try { ValePage.playing.stop(); } catch (e) {}
    },

    init: function(fullscreen, code) {
      ValePage.code = code;
      var canvas = ValePage.canvas(), push = function(e) { ValePage.events.push(e); }, listen = ValePage.listen;
      var locked = function() { return document.pointerLockElement === canvas; };
      listen(document, 'keydown', function(e) {
        // Escape first frees a held pointer (the browser's own rule); with
        // the pointer free it reaches the game and ends the run.
        if (e.keyCode == 27 && locked()) return;
        if (ValePage.box || e.altKey) return;
        push([code.keyDown, e.keyCode & 255, 0]);
        e.preventDefault();
      });
      listen(document, 'keyup', function(e) {
        if (ValePage.box) return;
        push([code.keyUp, e.keyCode & 255, 0]);
        e.preventDefault();
      });
      listen(canvas, 'mousemove', function(e) { push([code.motion, e.movementX | 0, e.movementY | 0]); });
      listen(canvas, 'mousedown', function(e) {
        // The browser may refuse the pointer (right after Escape freed it,
        // or to an event not a person's), or throw: the mouse still turns
        // the view, and the button still reaches the game.
        push([code.buttonDown, e.button, 0]);
        if (!locked() && canvas.requestPointerLock) ValePage.ask(function() { return canvas.requestPointerLock(); });
        if (fullscreen && !document.fullscreenElement && canvas.requestFullscreen) {
          ValePage.ask(function() { return canvas.requestFullscreen(); });
        }
        e.preventDefault();
      });
      listen(canvas, 'mouseup', function(e) { push([code.buttonUp, e.button, 0]); e.preventDefault(); });
      listen(canvas, 'contextmenu', function(e) { e.preventDefault(); });
      listen(document, 'visibilitychange', function() { push([code.active, document.hidden ? 0 : 1, 0]); });
      // Lost WebGL (a GPU reset, a phone taking the memory back): the run
      // ends as a closed window ends it, with its log, and the page says why.
      listen(canvas, 'webglcontextlost', function() {
        push([code.close, 0, 0]);
        ValePage.notice('The graphics were lost: the browser took WebGL from the page (the GPU was reset, or its ' +
                        'memory was needed). The run has ended; "Click to play" starts a new one.');
      });
      if (ValeTouch.offered()) ValeTouch.start();
    },

    show: function(text, caption, style) {
      if (document.exitPointerLock) document.exitPointerLock();
      var dialog = document.createElement('dialog');
      dialog.className = 'box';
      dialog.innerHTML = '<h2></h2><p></p><form method="dialog"><button>OK</button></form>';
      dialog.querySelector('h2').textContent = caption;
      dialog.querySelector('p').textContent = text;
      dialog.dataset.style = style;
      dialog.addEventListener('close', function() { dialog.remove(); ValePage.box = null; });
      document.body.appendChild(dialog);
      try {
        dialog.showModal();
      } catch (e) {
        dialog.remove();
        throw e;
      }
      ValePage.box = dialog;
      dialog.querySelector('button').focus();
    },

    // The firing sound. Without Web Audio (none in this browser, or refused)
    // the game plays silent, as the desktop builds do without a sound device.
    play: function(name) {
      var ctx = ValePage.audio;
      if (ctx === false) return;
      if (!ctx) {
        try {
          ctx = new AudioContext();
          // The level meter holds the last 0.7 s played (its most), so
          // that a page too busy to look often still sees the shot.
          ValePage.meter = ctx.createAnalyser();
          ValePage.meter.fftSize = 32768;
          ValePage.meter.connect(ctx.destination);
          ValePage.audio = ctx;
        } catch (e) {
          ValePage.audio = false;
          ValePage.notice('No sound: this browser gives the page no audio output (' + e.message + '). The game plays on silent.');
          return;
        }
      }
      if (!(name in ValePage.sounds)) {
        var bytes = ValePage.files.read(name);
        ValePage.sounds[name] = bytes ? ctx.decodeAudioData(bytes.buffer).catch(function() { return null; })
                                      : Promise.resolve(null);
      }
      ValePage.sounds[name].then(function(buffer) {
        if (!buffer) return;
        if (ValePage.playing) ValePage.playing.stop();
        var source = ValePage.playing = ctx.createBufferSource();
        source.buffer = buffer;
        source.connect(ValePage.meter);
        source.start();
        ValePage.started++;
      }).catch(function(e) { console.warn('The firing sound did not play: ' + e.message); });
    },

    // The glyphs of codes 32..127 drawn once into the program's atlas (a
    // coverage byte a pixel), 16 to a row; metrics gets the cell's width and
    // height, the glyphs' origin and their advance.
    font: function(size, atlas, width, height, metrics) {
      var w = Math.max(6, Math.round(size * 0.75)), h = size + 5, cols = 16;
      var canvas = document.createElement('canvas');
      canvas.width = width; canvas.height = height;
      var c = canvas.getContext('2d');
      c.fillStyle = '#fff';
      c.font = 'bold ' + (size + 3) + 'px monospace';
      c.textBaseline = 'alphabetic';
      for (var i = 0; i < 96; i++) {
        c.fillText(String.fromCharCode(32 + i), (i % cols) * 16 + 1, Math.floor(i / cols) * 21 + h);
      }
      // Bitmaps are either drawn or not: the glyphs' edges are cut, not blended.
      var data = c.getImageData(0, 0, width, height).data;
      for (var p = 0; p < width * height; p++) HEAPU8[atlas + p] = data[4 * p + 3] >= 96 ? 255 : 0;
      HEAPF32.set([16, 21, 1, 21 - h, w], metrics >> 2);
    },
  },

  // Runs what the program asked of the page; what the browser throws is
  // told on the console, and the program is given 0.
  $valeGuarded: function(what, f) {
    try {
      return f();
    } catch (e) {
      console.warn('Vale: ' + what + ' failed: ' + (e && e.message || e));
      return 0;
    }
  },

  // What the program prints (stdout 1, stderr 2), to the page's console a
  // line at a time (the C library writes an unbuffered stderr in pieces).
  vale_web_print__deps: ['$ValePage'],
  vale_web_print: function(fd, text, length) {
    var lines = (ValePage.printed[fd] + UTF8ArrayToString(HEAPU8, text, length)).split('\n');
    ValePage.printed[fd] = lines.pop();
    lines.forEach(function(line) { (fd == 1 ? out : err)(line); });
  },

  // A frame is drawn: counted, and shown to whoever waits for one (the
  // page's tests read its pixels here, before the browser shows it).
  vale_web_swap__deps: ['$ValePage', '$valeGuarded'],
  vale_web_swap: function() {
    ValePage.frames++;
    var waiting = ValePage.onFrame;
    ValePage.onFrame = null;
    if (waiting) valeGuarded('a frame\'s reader', waiting);
  },
  // The loop's pause between frames: it goes on at the browser's next
  // animation frame, so that the frame it draws then is the one the browser
  // presents next (none drawn only to be thrown away), and a hidden page,
  // which gets no animation frames, rests. It is resumed as the runtime
  // resumes any callback of its own (as its timers do), so that the run's
  // end and its exit status are seen to.
  vale_web_next_frame__deps: ['$Asyncify', '$callUserCallback'],
  vale_web_next_frame: function() {
    Asyncify.handleSleep(function(wakeUp) {
      {{{ runtimeKeepalivePush() }}}
      requestAnimationFrame(function() {
        {{{ runtimeKeepalivePop() }}}
        callUserCallback(wakeUp);
      });
    });
  },
  // The keys the touch controls press and the view's turn a pixel, the game's.
  vale_web_controls__deps: ['$ValeTouch'],
  vale_web_controls: function(w, a, s, d, jump, crouch, run, quit, degreesPerPixel) {
    ValeTouch.keys = {W: w, A: a, S: s, D: d, jump: jump, crouch: crouch, run: run, quit: quit};
    ValeTouch.degreesPerPixel = degreesPerPixel;
  },
  vale_web_init__deps: ['$ValePage', '$valeGuarded'],
  vale_web_init: function(fullscreen, keyDown, keyUp, motion, buttonDown, buttonUp, active, close) {
    var code = {keyDown: keyDown, keyUp: keyUp, motion: motion, buttonDown: buttonDown, buttonUp: buttonUp, active: active,
                close: close};
    valeGuarded('listening to the page', function() { ValePage.init(fullscreen, code); });
  },
  vale_web_next_event__deps: ['$ValePage'],
  vale_web_next_event: function(type, a, b) {
    var e = ValePage.events.shift();
    if (!e) return 0;
    HEAP32[type >> 2] = e[0];
    HEAP32[a >> 2] = e[1];
    HEAP32[b >> 2] = e[2];
    return 1;
  },
  // A page whose browser cannot show a modal dialog shows the box as an
  // alert, which waits for OK as well.
  vale_web_box__deps: ['$ValePage', '$valeGuarded'],
  vale_web_box: function(text, caption, style) {
    text = UTF8ToString(text);
    caption = UTF8ToString(caption);
    if (!valeGuarded('the message box', function() { ValePage.show(text, caption, style); return 1; })) {
      valeGuarded('the alert', function() { alert(caption + '\n\n' + text); });
    }
  },
  vale_web_box_open__deps: ['$ValePage'],
  vale_web_box_open: function() { return ValePage.box ? 1 : 0; },
  vale_web_play__deps: ['$ValePage', '$valeGuarded'],
  vale_web_play: function(name) { name = UTF8ToString(name); valeGuarded('the firing sound', function() { ValePage.play(name); }); },
  vale_web_font__deps: ['$ValePage', '$valeGuarded'],
  vale_web_font: function(size, atlas, width, height, metrics) {
    valeGuarded('the font', function() { ValePage.font(size, atlas, width, height, metrics); });
  },
  // The context could not be made: the person is told whether the browser
  // offers WebGL at all.
  vale_web_no_context__deps: ['$ValePage', '$valeGuarded'],
  vale_web_no_context: function() {
    var offered = valeGuarded('asking for WebGL', function() {
      return document.createElement('canvas').getContext('webgl') ? 1 : 0;
    });
    if (!offered) {
      ValePage.notice('This browser offers the page no WebGL: it is switched off or not supported. The game needs it ' +
                      'to draw; switch it on in the browser\'s settings, or play in a browser that has it.');
    }
  },
  // The page may hide the multitexture entry points (?nomultitexture), as
  // an OpenGL without the extension would.
  vale_web_multitexture: function() { return /[?&]nomultitexture\b/.test(location.search) ? 0 : 1; },
  // ?fixedclock: the clocks advance 1/60 s a frame, for comparing frames.
  vale_web_fixed_clock: function() { return /[?&]fixedclock\b/.test(location.search) ? 1 : 0; },
};

mergeInto(LibraryManager.library, LibraryValePage);
