// The page around the game. Config.cfg is edited here before the start and
// kept in the browser's storage; the game reads it from data/ as on the
// desktop, and the form reads it with the game's own reader
// (vale_config_read), so the two never disagree on a file. The program and
// its data are downloaded here first, so that a download that fails, is cut
// short or does not compile is told plainly; a run that has ended is never
// called again: playing again reloads the page with the settings as edited.
// vale.js, a classic script, finds the runtime's settings in window.Module.
const keys = ['fullscreen', 'frameratecounter', 'resolution_width', 'resolution_height', 'resolution_depth',
              'zbuffer_depth', 'texturefilter', 'sound'];
const names = {resolution_width: 'Width', resolution_height: 'Height', frameratecounter: 'Frame rate',
               texturefilter: 'Textures'};
const stored = 'vale.Config.cfg', again = '#play=';
const el = (id) => document.getElementById(id);
const fixIt = ' Reload the page to try again; if it stays so, the copy on the server is broken.';
const network = ' Check the connection, then try again.';

function store(key, value) {
  try {
    localStorage.setItem(key, value);
  } catch (e) {
    notice(`The settings will not be kept: this browser's storage refuses them (${e.message}). The run starts with them as typed.`);
  }
}
function recall(key) {
  try { return localStorage.getItem(key); } catch (e) { return null; }
}

// What keeps the game from loading or going on: the file, what went wrong,
// what to do; and a way to try again.
function problem(text) {
  if (Module.failed) return;
  Module.failed = true;
  el('status').textContent = '';
  el('problem-text').textContent = text;
  el('problem').hidden = false;
  el('settings').hidden = el('start').hidden = true;
}
el('retry').addEventListener('click', () => location.reload());
function notice(text) {
  el('notice').textContent = text;
  el('notice').hidden = false;
}

// A file from the server (or the offline copy), the bytes so far shown as
// part of the whole; the bytes alone where a file's length is not given or
// falls short of what arrives (a server that compresses as it sends).
const loading = {};
async function download(name) {
  const failed = (what, fix) => new Error(`${name} could not be downloaded: ${what}.${fix}`);
  let response;
  try {
    response = await fetch(name, {cache: 'no-cache'});
  } catch (e) {
    throw failed(`no answer (${e.message})`, network);
  }
  if (!response.ok) throw failed(`the server answered ${response.status} ${response.statusText}`, fixIt);
  const reader = response.body.getReader(), parts = [];
  const sums = loading[name] = [0, +response.headers.get('Content-Length') || NaN];
  try {
    for (let part = await reader.read(); !part.done; part = await reader.read()) {
      parts.push(part.value);
      sums[0] += part.value.byteLength;
      const [got, whole] = Object.values(loading).reduce((s, l) => [s[0] + l[0], s[1] + l[1]], [0, 0]);
      const of = whole >= got ? ` of ${(whole / 1e6).toFixed(1)}` : '';
      if (!Module.failed) el('status').textContent = `Loading… ${(got / 1e6).toFixed(1)}${of} MB`;
    }
  } catch (e) {
    throw failed(`the download broke off (${e.message})`, network);
  }
  return new Blob(parts).arrayBuffer();
}

const hex = (digest) => Array.from(new Uint8Array(digest), (b) => b.toString(16).padStart(2, '0')).join('');

const Module = window.Module = {
  canvas: el('canvas'),
  noInitialRun: true,
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
  notice,
  bytes: {},
  // vale.js, vale.wasm and vale.data of one build, or said plainly.
  instantiateWasm(imports, done) {
    const size = Module.data.byteLength;
    if (size != Module.built.dataSize) {
      problem(`vale.data is cut short: ${size} of its ${Module.built.dataSize} bytes arrived.${fixIt}`);
      return {};
    }
    (async () => {
      try {
        // No digests on a plain http address but the loopback.
        if (window.isSecureContext) {
          for (const name of ['vale.wasm', 'vale.data']) {
            if (hex(await crypto.subtle.digest('SHA-256', Module.bytes[name])) !== Module.built[name]) {
              throw new Error(`${name} is of another build than vale.js: the server is half way through an update.${fixIt}`);
            }
          }
        }
      } catch (e) {
        problem(e.message);
        return;
      }
      try {
        done(await WebAssembly.instantiate(Module.wasm, imports), Module.wasm);
      } catch (e) {
        problem(`vale.wasm does not fit this vale.js (${e.message}).${fixIt}`);
      }
    })();
    return {};
  },
  onRuntimeInitialized() {
    if (Module.failed) return;
    // data/, copied once into the program's memory; the download is let go.
    const mounted = ValePage.files.mount(Module.data);
    Module.data = Module.bytes['vale.data'] = null;
    if (!mounted) return problem(`vale.data is damaged: it is not an archive of the game's files.${fixIt}`);
    // The shipped file, kept before a run writes the form's over it.
    Module.shipped = new TextDecoder().decode(ValePage.files.read('data/Config.cfg') || new Uint8Array());
    let text = recall(stored) || Module.shipped;
    const kept = usable(text);
    if (kept !== text) {
      const why = text.includes('\0') ? `a NUL at byte ${text.indexOf('\0')}` : `${text.length} bytes, the most read is ${kept.length}`;
      notice(`The stored Config.cfg could not be read in full (${why}): the form shows what was read before it. "Defaults" sets it back.`);
      text = kept;
    }
    const queued = location.hash.startsWith(again) ? decodeURIComponent(location.hash.slice(again.length)) : null;
    if (queued !== null) history.replaceState(null, '', location.pathname + location.search);
    show(read(queued || text));
    el('status').textContent = '';
    el('settings').hidden = el('start').hidden = false;
    if (queued) start();
  },
  onExit: (status) => showEnd(status),
  onAbort(what) {
    if (Module.ran) showEnd(-1);
    problem(`The game stopped: ${what}. Reload the page to play again.`);
  },
};

(async () => {
  try {
    const wasm = download('vale.wasm').then(async (bytes) => {
      Module.bytes['vale.wasm'] = bytes;
      try {
        return await WebAssembly.compile(bytes);
      } catch (e) {
        throw new Error(`vale.wasm is damaged: it is not a program this browser can run (${e.message}).${fixIt}`);
      }
    });
    [Module.wasm, Module.data] = await Promise.all([wasm, download('vale.data')]);
    Module.bytes['vale.data'] = Module.data;
  } catch (e) {
    problem(e.message);
    return;
  }
  const script = document.createElement('script');
  script.src = 'vale.js';
  // A script that fails does not say why: asked for again, the server's
  // answer (or the network's silence) does.
  script.onerror = () => download('vale.js').then(() => problem(`vale.js could not be downloaded: the download broke off.${network}`),
                                                  (e) => problem(e.message));
  document.body.appendChild(script);
})();

// The part of a stored Config.cfg the form reads: up to a NUL (where the
// text ends for the reader), at most 64 KB (a real one is some 150 bytes).
const usable = (text) => text.split('\0')[0].slice(0, 65536);

// Config.cfg's values as the game reads them, by key.
export function read(text) {
  const at = Module.ccall('vale_config_read', 'number', ['string'], [usable(text)]) >> 2;
  return Object.fromEntries(keys.map((key, i) => [key, Module.HEAP32[at + i]]));
}

// The values in the form; a stored value a list does not hold is shown as
// one of its own, and the keys the form has no field for, where they are
// not the defaults, are named below it.
export function show(values) {
  Module.values = values;
  el('resolution_width').value = values.resolution_width;
  el('resolution_height').value = values.resolution_height;
  el('fullscreen').checked = values.fullscreen != 0;
  for (const key of ['frameratecounter', 'texturefilter']) {
    const list = el(key), value = String(values[key]);
    for (const option of list.querySelectorAll('.stored')) option.remove();
    if (!list.querySelector(`option[value="${value}"]`)) {
      const option = new Option(`${value} (as stored)`, value);
      option.className = 'stored';
      list.add(option);
    }
    list.value = value;
  }
  const defaults = read('');  // Config's own
  const others = keys.filter((key) => !(key in names) && key != 'fullscreen' && values[key] != defaults[key]);
  el('stored').textContent = others.length ?
    `Also in Config.cfg: ${others.map((key) => `${key} ${values[key]}`).join(', ')} ("Defaults" sets them back)` : '';
  check();
}

// The widest and tallest drawing buffer this browser's WebGL gives.
let side = 0;
function largest() {
  if (!side) {
    let gl = null;
    try { gl = document.createElement('canvas').getContext('webgl'); } catch (e) {}
    side = gl ? Math.min(gl.getParameter(gl.MAX_RENDERBUFFER_SIZE), ...gl.getParameter(gl.MAX_VIEWPORT_DIMS)) : 16384;
    gl?.getExtension('WEBGL_lose_context')?.loseContext();
  }
  return side;
}

// The form's Config.cfg, or null while a value is one the game cannot run with.
export function check() {
  const values = {...Module.values}, errors = [];
  const whole = (key, low, high, what) => {
    const text = el(key).value.trim();
    if (!/^[+-]?\d+$/.test(text) || +text < low || +text > high) errors.push(`${names[key]}: ${what}`);
    else values[key] = +text;
  };
  const most = largest();
  whole('resolution_width', 1, most, `a whole number of pixels from 1 to ${most}, the most this browser draws`);
  whole('resolution_height', 1, most, `a whole number of pixels from 1 to ${most}, the most this browser draws`);
  values.frameratecounter = +el('frameratecounter').value;
  values.texturefilter = +el('texturefilter').value;
  if (values.texturefilter < 0 || values.texturefilter > 2) errors.push('Textures: choose nearest, linear or mipmaps');
  values.fullscreen = el('fullscreen').checked ? 1 : 0;
  el('errors').textContent = errors.join('. ');
  return errors.length ? null : keys.map((key) => `${key} ${values[key]}\n`).join('');
}
el('settings').addEventListener('input', check);
el('settings').addEventListener('submit', (e) => e.preventDefault());
el('defaults').addEventListener('click', () => {
  try { localStorage.removeItem(stored); } catch (e) {}
  show(read(Module.shipped));
});

function start() {
  const text = check();
  if (text === null) return;
  store(stored, text);
  // The program has run, or a new build waits: a new page, which starts the
  // run with these settings (a new build's worker takes over first).
  const waiting = navigator.serviceWorker?.controller && worker?.waiting;
  if (Module.ran || waiting || Module.replaced) {
    history.replaceState(null, '', again + encodeURIComponent(text));
    if (waiting) waiting.postMessage('take over');
    else location.reload();
    return;
  }
  Module.ran = true;
  if (ValePage.files.read('data/Config.cfg')) ValePage.files.write('data/Config.cfg', text);
  el('end').hidden = true;
  document.body.classList.add('playing');
  el('canvas').focus();
  Module.callMain([]);
  // On a touch screen (where the game has laid its touch controls) it asks
  // for the whole screen, held sideways, where the browser allows; a browser
  // may throw rather than refuse, or give no promise.
  const page = document.documentElement;
  if (document.body.classList.contains('touch') && page.requestFullscreen) {
    try {
      Promise.resolve(page.requestFullscreen()).then(() => screen.orientation.lock('landscape')).catch(() => {});
    } catch (e) {}
  }
  fit();
}

// The canvas keeps its drawing buffer, the configured size, and is shown
// as large as the window holds with its aspect kept.
function fit() {
  const canvas = el('canvas'), scale = Math.min(innerWidth / canvas.width, innerHeight / canvas.height);
  canvas.style.setProperty('width', `${canvas.width * scale}px`, 'important');
  canvas.style.setProperty('height', `${canvas.height * scale}px`, 'important');
}
addEventListener('resize', fit);
addEventListener('orientationchange', fit);
document.addEventListener('fullscreenchange', fit);

// Once visited the site plays offline: sw.js keeps this build's files. A
// new build's worker takes over on a page not yet touched, or when a run is
// started (the page reloads whole, never mixing two builds' files, and
// starts the run with the form's values): never under a form being edited
// or a run going on.
let worker = null, edited = false;
el('settings').addEventListener('input', () => { edited = true; });
if ('serviceWorker' in navigator) {
  navigator.serviceWorker.register('sw.js').then((registration) => {
    worker = registration;
    const update = () => {
      registration.installing?.addEventListener('statechange', update);
      if (registration.waiting && navigator.serviceWorker.controller && !edited && !Module.ran) registration.waiting.postMessage('take over');
    };
    update();
    registration.addEventListener('updatefound', update);
  }).catch((e) => console.warn(`Vale: no offline copy: ${e.message}`));
  navigator.serviceWorker.addEventListener('controllerchange', () => {
    Module.replaced = true;
    if ((!edited && !Module.ran) || location.hash.startsWith(again)) location.reload();
  });
}
el('start').addEventListener('click', start);

function showEnd(status) {
  window.ValePage?.stop();
  document.body.classList.remove('playing');
  document.exitPointerLock?.();
  if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
  let log = null;  // what a run that stopped part way left, if the program can still be asked
  try { log = ValePage.files.read('data/fps.txt'); } catch (e) {}
  log = log && new TextDecoder().decode(log);
  el('log').textContent = log || 'No log: a run writes fps.txt once it has lasted two seconds.';
  if (log) {
    const link = el('download');
    link.href = URL.createObjectURL(new Blob([log], {type: 'text/plain'}));
    link.hidden = false;
  }
  el('end').hidden = false;
  el('end').dataset.status = status;
  el('start').focus({preventScroll: true});  // the end page stays in view on a short screen
  scrollTo(0, 0);
}
