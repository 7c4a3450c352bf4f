// Plays the browser build in headless Chromium (Debian's, driven by
// puppeteer-core) as a person would, the site served from the loopback.
//   node web_test.mjs play|shell|frame SITE_DIR WORK_DIR [NATIVE_BUILD]
// play: the first frame, a mouse panorama, W, a shot heard, Escape and the log.
// shell: each numbered box in the page, whether the run goes on after it, runs in a row, the settings
// form, downloads that fail and a browser without Web Audio or WebGL.
// frame: the first frame against the one the native benchmark draws on offscreen Mesa.
// present: the frames the browser presents while the viewer turns, against those drawn and a plain page's.
// Frames are read right at the swap; every wait follows an event and has a bound.
import {execFileSync, spawnSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {launch, plainPage, presented, serve, turn} from '../../tools/web_site.mjs';

const [mode, site, work, nativeBuild] = process.argv.slice(2);
fs.mkdirSync(work, {recursive: true});
const fail = (message) => { throw new Error(message); };
const {url, server} = await serve(site);
const browser = await launch('--autoplay-policy=no-user-gesture-required');

// A page of the site, ready to start (or, where ready is false, just
// opened), before(page) run first; any console error or uncaught exception
// on it fails the test.
async function open(query = '', before = null, ready = true) {
  const page = await browser.newPage();
  await page.setViewport({width: 1200, height: 1000});
  page.problems = [];
  page.on('console', (m) => { if (m.type() === 'error') page.problems.push(m.text()); });
  page.on('pageerror', (e) => page.problems.push(e.message));
  if (before) await before(page);
  await page.goto(url + query);
  if (ready) await page.waitForSelector('#start:not([hidden])', {timeout: 30000});
  return page;
}

// The next frame the game draws: its pixels, RGBA, rows from the bottom.
const grab = (page) => page.evaluate(() => new Promise((resolve) => {
  ValePage.onFrame = () => {
    const gl = GLctx, w = gl.drawingBufferWidth, h = gl.drawingBufferHeight, px = new Uint8Array(w * h * 4);
    gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, px);
    let text = '';
    for (let i = 0; i < px.length; i += 0x8000) text += String.fromCharCode.apply(null, px.subarray(i, i + 0x8000));
    resolve({w, h, rgba: btoa(text)});
  };
})).then((frame) => Object.assign(frame, {rgba: Buffer.from(frame.rgba, 'base64')}));

// The next frame as WORK/NAME.ppm, for the screenshot checker the desktop
// builds' runs use ($VALE_PIXELS): its size and the file.
async function shot(page, name) {
  const {w, h, rgba} = await grab(page), rgb = Buffer.alloc(w * h * 3), file = path.join(work, `${name}.ppm`);
  for (let y = 0, j = 0; y < h; y++) {
    for (let i = (h - 1 - y) * w * 4, end = i + w * 4; i < end; i += 4) {
      rgb[j++] = rgba[i];
      rgb[j++] = rgba[i + 1];
      rgb[j++] = rgba[i + 2];
    }
  }
  fs.writeFileSync(file, Buffer.concat([Buffer.from(`P6\n${w} ${h}\n255\n`), rgb]));
  return {w, h, file};
}
const checker = () => process.env.VALE_PIXELS || fail('no screenshot checker: VALE_PIXELS names the native build\'s');
const measure = (file, ...regions) => execFileSync(checker(), ['measure', file, ...regions]).toString().trim().split(/\s+/).map(Number);
const changed = (a, b, region) => spawnSync(checker(), ['changed', a, b, region]).status === 0;

// Waits until count more frames are drawn, or the run has ended.
async function frames(page, count) {
  const target = await page.evaluate((count) => ValePage.frames + count, count);
  await page.waitForFunction((target) => ValePage.frames >= target || !document.getElementById('end').hidden,
                             {timeout: 20000, polling: 5}, target);
}

const ended = async (page) => (await page.waitForSelector('#end:not([hidden])', {timeout: 30000}),
                               page.$eval('#log', (e) => e.textContent));
const clean = (page) => page.problems.length && fail(`console errors: ${page.problems.join(' | ')}`);
async function press(page, key) {  // held for two frames: the game polls the keys once a frame
  await page.keyboard.down(key);
  await frames(page, 2);
  await page.keyboard.up(key);
}

async function play() {
  // The page's fixed clock (1/60 s a frame) makes the run the same on any
  // machine: the balls' first frames, stepped at a rate of 1 until it is
  // measured, would otherwise throw them anywhere.
  const page = await open('?fixedclock');
  await page.click('#start');
  const W = 1024, H = 768;
  await frames(page, 3);
  const first = await shot(page, 'first'), canvas = await (await page.$('canvas')).boundingBox();
  await page.screenshot({path: path.join(work, 'screenshot.png'), clip: canvas});
  if (first.w !== W || first.h !== H) fail(`canvas ${first.w}x${first.h}, not ${W}x${H}`);
  // The desktop builds' first view, with their thresholds (the rest of the
  // first frame is web.frame's to compare with theirs).
  const [crosshair, weapon, counter] = measure(first.file, 'crosshair', '3x12+511+366', 'weapon', '400x250+520+500',
                                               'crosshair', '40x20+0+748');
  if (crosshair <= 10 || weapon <= 20000 || counter <= 10) fail(`crosshair ${crosshair}, weapon ${weapon}, counter ${counter} pixels`);

  // A mouse panorama, 45 degrees (450 pixels of motion) a view, each view
  // unlike the last. The pointer is not held here: it sweeps the canvas to
  // the right and goes back round the outside, where its motion is not the
  // game's. The balls fall and roll into the hollows, so they may show only
  // after a while: up to three rounds.
  const y = canvas.y + H / 2, above = canvas.y - 20, left = canvas.x - 5;
  let x = canvas.x + W, balls = 0, last = first.file;  // past the right edge: the first step comes round and enters
  for (let k = 0; k < 24 && !(k % 8 == 0 && balls >= 100); k++) {
    for (let step = 0; step < 3; step++) {
      if (x + 150 > canvas.x + W - 10) {
        for (const [px, py] of [[canvas.x + W + 5, y], [canvas.x + W + 5, above], [left, above], [left, y]]) await page.mouse.move(px, py);
        await page.mouse.move(x = canvas.x + 10, y);
      }
      await page.mouse.move(x += 150, y);
      await frames(page, 2);
    }
    const seen = (await shot(page, `view-${k}`)).file, [upper, lower] = measure(seen, 'balls', '1024x460+0+0', 'balls', '520x308+0+460');
    balls += upper + lower;
    console.log(`view ${k}: ${upper + lower} ball pixels`);
    if (!changed(last, seen, '520x768+0+0')) fail(`turning left view ${k} as it was`);
    last = seen;
    if (k < 8) await page.screenshot({path: path.join(work, `view-${k}.png`), clip: canvas});
  }
  if (balls < 100) fail(`no balls all round (${balls} pixels)`);

  await page.keyboard.down('w');  // W walks: the ground changes while it is held
  await frames(page, 20);
  const walked = (await shot(page, 'walked')).file;
  await page.keyboard.up('w');
  if (!changed(last, walked, '480x240+40+480')) fail('walking did not change the view');

  await page.mouse.down();  // a click fires: the sound starts and is heard
  await frames(page, 3);
  await page.mouse.up();
  const heard = await page.evaluate(() => new Promise((resolve) => {
    const until = Date.now() + 5000, data = new Float32Array(2048);
    const listen = () => {
      ValePage.meter?.getFloatTimeDomainData(data);
      const peak = data.reduce((m, v) => Math.max(m, Math.abs(v)), 0);
      if ((ValePage.started > 0 && peak > 0.05) || Date.now() > until) resolve({started: ValePage.started, peak});
      else setTimeout(listen, 10);
    };
    listen();
  }));
  if (!heard.started || heard.peak <= 0.05) fail(`the shot was not heard (${heard.started} started, peak ${heard.peak})`);

  // Escape ends the run after the log's two seconds. A held pointer is the
  // browser's to free on Escape, which a synthetic key does not reach: freed here.
  await new Promise((resolve) => setTimeout(resolve, 2000));
  await page.evaluate(() => document.exitPointerLock());
  await page.waitForFunction(() => document.pointerLockElement === null, {timeout: 5000});
  await press(page, 'Escape');
  const log = await ended(page);
  // The peaks follow the fixed clock, the average the real one: only their order and a rate above 0 hold.
  const values = /^ low peak: (\d+\.\d{6})\n  average: (\d+\.\d{6})\nhigh peak: (\d+\.\d{6})$/.exec(log);
  const [low, average, high] = (values || fail(`the log: ${log}`)).slice(1).map(Number);
  if (!(low <= high && average > 0)) fail(`the log's values: ${log}`);
  if (await page.$eval('#download', (a) => a.hidden)) fail('fps.txt is not offered');
  console.log(`first frame: weapon ${weapon}, counter ${counter}; log ${low}/${average}/${high}`);
  clean(page);
}

// The box that is open: "caption: text", and OK pressed.
async function box(page, expected) {
  const dialog = await page.waitForSelector('dialog.box[open]', {timeout: 30000});
  const shown = await dialog.evaluate((d) => `${d.querySelector('h2').textContent}: ${d.querySelector('p').textContent}`);
  if (shown !== expected) fail(`box "${shown}", not "${expected}"`);
  await page.click('dialog.box button');
}
const drawn = (page) => page.evaluate(() => ValePage.frames);
const shown = (page, selector) => page.$eval(selector, (e) => (e.hidden ? '' : e.textContent));

// Plays past the log's two seconds; Escape ends the run, which writes its log.
async function playOut(page) {
  await frames(page, 3);
  await new Promise((resolve) => setTimeout(resolve, 2100));
  await page.evaluate(() => document.exitPointerLock());  // a held pointer is the browser's to free on Escape
  await press(page, 'Escape');
  const log = await ended(page);
  if (!/average: \d/.test(log)) fail(`the run wrote no log: ${log}`);
}

// "Click to play" on the end page: a new run with the settings as they stand.
async function playAgain(page) {
  await Promise.all([page.waitForNavigation(), page.click('#start')]);
  await page.waitForFunction(() => window.ValePage?.frames > 0 && document.body.classList.contains('playing'), {timeout: 30000});
}

// Each check on a page of its own; every failing one is told.
const shellChecks = {
  // No multitexturing: the box, and the end before the first frame.
  'no multitexturing': async () => {
    const page = await open('?nomultitexture');
    await page.click('#start');
    await box(page, 'Error -34: Current version of OpenGL does not support multitexturing!');
    await ended(page);
    if (await drawn(page)) fail('frames drawn after Error -34');
    clean(page);
    await page.close();
  },
  // A missing texture: the box, and the run goes on.
  'missing texture': async () => {
    const page = await open();
    await page.evaluate(() => Module.FS.unlink('data/Textures/Landmap.tga'));
    await page.click('#start');
    await box(page, 'Error -20: Texture initialization failed!');
    await frames(page, 3);
    await press(page, 'Escape');
    await ended(page);
    if (!await drawn(page)) fail('no frame drawn after Error -20');
    clean(page);
    await page.close();
  },
  // Runs in a row: one ended by its box, the form typed into, one ended by
  // Escape, one more; each new run with the settings as edited, each writing its log.
  'runs in a row': async () => {
    const page = await open();
    await page.evaluate(() => Module.FS.unlink('data/Config.cfg'));
    await page.click('#start');
    await box(page, 'Error -31: Configuration initialization failed (incorrect paths)!');
    await ended(page);
    if (await drawn(page)) fail('frames drawn after Error -31');
    await page.click('#resolution_width', {count: 3});
    await page.keyboard.type('800');
    await page.keyboard.press('Tab');
    const typed = await page.evaluate(() => [el('resolution_width').value, document.activeElement.id]);
    if (typed.join() !== '800,resolution_height') fail(`typing on the end page: ${typed}`);
    await playAgain(page);
    if (await page.evaluate(() => GLctx.drawingBufferWidth) !== 800) fail('the second run is not 800 pixels wide');
    await playOut(page);
    await playAgain(page);
    await playOut(page);
    clean(page);
    await page.close();
  },
  // The form takes what the game reads and the Parts accept, names what it
  // cannot show, and "Defaults" clears it.
  'settings form': async () => {
    const page = await open();
    for (const width of ['1e3', '0']) {
      await page.click('#resolution_width', {count: 3});
      await page.keyboard.type(width);
      await page.click('#start');
      if (!/^Width: /.test(await shown(page, '#errors')) || await page.evaluate(() => Module.ran)) fail(`width ${width} taken`);
    }
    await page.evaluate(() => localStorage.setItem('vale.Config.cfg', 'zbuffer_depth 0 frameratecounter 7'));
    await page.reload();
    await page.waitForSelector('#start:not([hidden])');
    if (!/zbuffer_depth 0/.test(await shown(page, '#stored')) || await page.$eval('#frameratecounter', (e) => e.value) !== '7') {
      fail(`stored settings not shown: "${await shown(page, '#stored')}"`);
    }
    await page.click('#defaults');
    await page.click('#start');
    const written = await page.evaluate(() => new TextDecoder().decode(Module.FS.readFile('data/Config.cfg')));
    if (!/zbuffer_depth 24\n/.test(written) || !/frameratecounter 1\n/.test(written)) fail(`after Defaults: ${written}`);
    clean(page);
    await page.close();
  },
  // Downloads that fail: the file and what went wrong said within seconds, with a way to try again.
  'downloads': async () => {
    const data = fs.readFileSync(path.join(site, 'vale.data'));
    for (const [file, answer, said] of [
      ['vale.data', {status: 404}, /^vale\.data could not be downloaded: the server answered 404/],
      ['vale.wasm', {body: Buffer.from('\0asm not a program at all')}, /^vale\.wasm is damaged/],
      ['vale.data', {body: data.subarray(0, data.length >> 1)}, /^vale\.data is cut short: \d+ of its \d+ bytes/]]) {
      const page = await open('', async (page) => {
        await page.setRequestInterception(true);
        page.on('request', (r) => (r.url().endsWith(file) ? r.respond(answer) : r.continue()));
      }, false);
      await page.waitForSelector('#problem:not([hidden])', {timeout: 10000});
      const text = await shown(page, '#problem-text');
      if (!said.test(text) || !await page.$eval('#retry', (b) => b.offsetWidth > 0)) fail(`${file}: "${text}"`);
      await page.close();
    }
  },
  // No Web Audio: the shot is silent, the game goes on and says so; Escape ends it with its log.
  'no Web Audio': async () => {
    const page = await open('', (page) => page.evaluateOnNewDocument(() => {
      window.AudioContext = function() { throw new Error('refused'); };
    }));
    await page.click('#start');
    await frames(page, 3);
    const canvas = await (await page.$('canvas')).boundingBox();
    await page.mouse.move(canvas.x + 500, canvas.y + 400);
    await page.mouse.down();  // held for frames: the game reads the button once a frame
    await frames(page, 3);
    await page.mouse.up();
    const before = await drawn(page);
    await frames(page, 5);
    if (await drawn(page) < before + 5 || !/^No sound/.test(await shown(page, '#notice'))) fail('a shot without Web Audio');
    await playOut(page);
    clean(page);
    await page.close();
  },
  // No WebGL: the box, and the page says why.
  'no WebGL': async () => {
    const page = await open('', (page) => page.evaluateOnNewDocument(() => {
      const getContext = HTMLCanvasElement.prototype.getContext;
      HTMLCanvasElement.prototype.getContext = function(type, ...rest) { return /webgl/.test(type) ? null : getContext.call(this, type, ...rest); };
    }));
    await page.click('#start');
    await box(page, 'Error -7: GL Rendering Context initialization failed!');
    await ended(page);
    if (!/no WebGL/.test(await shown(page, '#notice'))) fail('WebGL missing is not said');
    await page.close();
  },
};

// VALE_CHECKS, a list of names split by commas, runs only those.
async function shell() {
  const failed = [], only = process.env.VALE_CHECKS?.split(',');
  for (const [name, check] of Object.entries(shellChecks).filter(([name]) => !only || only.includes(name))) {
    try {
      await check();
    } catch (error) {
      console.error(`FAIL ${name}: ${error.message}`);
      failed.push(name);
    }
  }
  if (failed.length) fail(`${failed.length} of ${Object.keys(shellChecks).length} checks: ${failed.join(', ')}`);
}

// The same picture but for the rasterisers' rounding, and where each C
// library's rand puts the balls: a pixel differs when a channel differs by
// more than 24 of 255, and the balls' stripes in either picture are theirs.
async function compare() {
  const page = await open('?fixedclock');
  await page.evaluate(() => { document.getElementById('frameratecounter').value = '0'; });
  const pixels = grab(page);
  await page.click('#start');
  const frame = path.resolve(work, 'first-native.rgba');  // RGBA rows from the bottom
  execFileSync('bench/vale_bench', ['.'], {cwd: nativeBuild, env: {...process.env, VALE_BENCH_FIRST: frame, LP_NUM_THREADS: '0'}});
  const web = (await pixels).rgba, native = fs.readFileSync(frame);
  if (web.length !== native.length) fail(`frames of ${web.length} and ${native.length} bytes`);
  const stripes = (p, i) => p[i] > p[i + 1] + 25 && p[i] > p[i + 2] + 20 && Math.abs(p[i + 1] - p[i + 2]) < 12;
  let differ = 0, balls = 0, sum = 0;
  for (let i = 0; i < web.length; i += 4) {
    const d = Math.max(...[0, 1, 2].map((c) => Math.abs(web[i + c] - native[i + c])));
    sum += d;
    if (d > 24) (stripes(web, i) || stripes(native, i)) ? balls++ : differ++;
  }
  const n = web.length / 4;
  console.log(`against the native frame: ${(100 * differ / n).toFixed(2)} % of the pixels differ by more than 24 ` +
              `(besides ${balls} ball pixels), mean difference ${(sum / n).toFixed(2)}`);
  if (differ > n * 0.02) fail('the browser draws another picture');
  if (sum / n > 6) fail('the browser draws the picture in other colours');
  clean(page);
}

// What a person sees of the frames: every frame the game draws is presented
// (none drawn only to be thrown away), each unlike the last while the view
// turns, at a rate not far below a plain page's that only clears its canvas
// (here the software GPU bounds the game at about half of it: 0.46 to 0.55
// measured, also beside another build; the frames thrown away gave 0.06 to
// 0.14). Two rounds of each, interleaved; each figure is the better round's.
async function present() {
  const page = await open();
  await page.click('#start');
  await frames(page, 10);
  const plain = await browser.newPage();
  await plain.setViewport({width: 1200, height: 1000});
  await plain.setContent(plainPage);
  const game = [], clear = [];
  for (let round = 0; round < 2; round++) {
    await page.bringToFront();  // a tab behind another gets no animation frames, and the game rests
    const drawn = await page.evaluate(() => ValePage.frames);
    const seen = await presented(page, 3, {turn});
    seen.drawn = await page.evaluate(() => ValePage.frames) - drawn;
    game.push(seen);
    await plain.bringToFront();
    clear.push(await presented(plain, 3));
  }
  const best = (runs) => runs.reduce((a, b) => (b.rate > a.rate ? b : a));
  const g = best(game), p = best(clear);
  console.log(`presented ${g.rate.toFixed(1)} frames a second of ${g.drawn} drawn in 3 s (${g.frames} presented, ` +
              `${g.same} as the last); the plain page ${p.rate.toFixed(1)}: ${(g.rate / p.rate).toFixed(2)} of it`);
  if (g.frames < 0.9 * g.drawn) fail(`${g.drawn} frames drawn, ${g.frames} presented`);
  if (g.same > g.frames / 20) fail(`${g.same} of ${g.frames} presented frames as the last while turning`);
  if (g.rate < 0.3 * p.rate) fail(`${g.rate.toFixed(1)} frames a second presented, the plain page ${p.rate.toFixed(1)}`);
  clean(page);
}

try {
  await ({play, shell, present, frame: compare})[mode]();
  console.log(`web ${mode} test passed`);
} catch (error) {
  console.error(`FAIL: ${error.message}`);
  process.exitCode = 1;
} finally {
  await browser.close();
  server.close();
}
