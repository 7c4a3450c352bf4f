// The browser build's own checks in headless Chromium, beyond the
// end-to-end runs every build shares (tests/e2e, through driver.mjs):
//   node web_test.mjs page|recover|touch|offline|present|frame SITE_DIR WORK_DIR [NATIVE_BUILD]
// page: runs in a row, the settings form, a browser without Web Audio or
// WebGL, each on a page of its own. recover: downloads that fail, refused
// storage, bad settings, a browser that throws, a lost context, progress on a
// slow line, a connection lost between two files, a stored Config.cfg with a
// NUL, phones whose full screen throws or gives no promise, a new build
// taken over at "Click to play".
// touch: a phone's screen played by touch. offline: played again with the network off; a new build taking over.
// frame: the first frame against the one the native benchmark draws on offscreen Mesa.
// present: the frames the browser presents while the viewer turns, against those drawn and a plain page's.
// Every wait follows an event and has a bound.
import {execFileSync, spawnSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {firefox, plainPage, presented, turn} from '../../tools/web_site.mjs';
import {box, clean, drawn, ended, fail, frames, grab, heard, listen, mouse, press, shot, shown, site, sleep} from './driver.mjs';
import {recoverChecks} from './recover.mjs';

const [mode, dir, work, nativeBuild] = process.argv.slice(2);
// The boxes' texts as the build wrote them (cmake/texts.cmake), each as the page's dialog reads.
const boxes = JSON.parse(fs.readFileSync(`${process.env.VALE_TEXTS}.json`, 'utf8'));
const says = name => `${boxes[name][0]}: ${boxes[name][1]}`;
fs.mkdirSync(work, {recursive: true});
// The offline check serves a copy of the site, which it then changes as a new build would.
const served = mode === 'offline' ? fs.mkdtempSync(path.join(work, 'site-')) : dir;
if (served !== dir) fs.cpSync(dir, served, {recursive: true});
const {browser, open, close, altered} = await site(served, mode !== 'present');

// Escape ends the run with status 0; played past the log's two seconds (logged), it writes its log.
async function playOut(page, logged) {
  await frames(page, 3);
  if (logged) await sleep(2100);
  await press(page, 'Escape');
  const {status, log} = await ended(page);
  if (status || (logged && !/average: \d/.test(log))) fail(`the run ended with ${status}, its log: ${log}`);
}

// "Click to play" on the end page: a new run with the settings as they stand.
async function playAgain(page) {
  await Promise.all([page.waitForNavigation(), page.click('#start')]);
  await page.waitForFunction(() => window.ValePage?.frames > 0 && document.body.classList.contains('playing'), {timeout: 30000});
}

// Each check on a page of its own; every failing one is told.
const pageChecks = {
  // Runs in a row: one ended by its box, the form typed into, one ended by
  // Escape, one more played out; each new run with the settings as edited, the last writing its log.
  'runs in a row': async () => {
    const page = await open();
    await page.evaluate(() => ValePage.files.remove('data/Config.cfg')) || fail('no data/Config.cfg to remove');
    await page.click('#start');
    await box(page, says('kConfiguration'));
    await ended(page);
    if (await drawn(page)) fail('frames drawn after Error -31');
    await page.click('#resolution_width', {count: 3});
    await page.keyboard.type('800');
    await page.keyboard.press('Tab');
    const typed = await page.evaluate(() => [document.getElementById('resolution_width').value, document.activeElement.id]);
    if (typed.join() !== '800,resolution_height') fail(`typing on the end page: ${typed}`);
    await playAgain(page);
    if (await page.evaluate(() => GLctx.drawingBufferWidth) !== 800) fail('the second run is not 800 pixels wide');
    await playOut(page);
    await playAgain(page);
    await playOut(page, true);
    clean(page);
    await page.close();
  },
  // The form takes what the game reads and the Parts accept, names what it
  // cannot show, and "Defaults" clears it.
  'settings form': async () => {
    const page = await open();
    // Sizes WebGL cannot draw are refused, the largest named.
    const most = await page.evaluate(() => document.createElement('canvas').getContext('webgl').getParameter(0x84E8));
    for (const width of ['1e3', '0', most + 1]) {
      await page.click('#resolution_width', {count: 3});
      await page.keyboard.type(String(width));
      await page.click('#start');
      if (!new RegExp(`^Width: .* ${most}\\b`).test(await shown(page, '#errors')) || await page.evaluate(() => Module.ran)) fail(`width ${width} taken`);
    }
    // Tricky files (before a run, which has the reader): the form shows what the game reads, and writes a file the game reads the same.
    const differ = await page.evaluate(async (files) => {
      const {check, read, show} = await import('./page.js');
      return files.filter((file) => {
        show(read(file));
        return document.getElementById('resolution_width').value != read(file).resolution_width ||
          JSON.stringify(read(check())) != JSON.stringify(read(file));
      });
    }, ['resolution_width 800\r\nresolution_height 600\r\n', 'RESOLUTION_WIDTH 5\nresolution_width 640 resolution_width 700',
         'frameratecounter 7\ttexturefilter 1\nzbuffer_depth 16 sound 0', '  fullscreen 1\n\nbogus 9 resolution_height 480',
         'resolution_width +900 resolution_depth -16']);
    if (differ.length) fail(`the form and the game differ on ${JSON.stringify(differ)}`);
    await page.evaluate(() => localStorage.setItem('vale.Config.cfg', 'zbuffer_depth 0 frameratecounter 7'));
    await page.reload();
    await page.waitForSelector('#start:not([hidden])');
    if (!/zbuffer_depth 0/.test(await shown(page, '#stored')) || await page.$eval('#frameratecounter', (e) => e.value) !== '7') {
      fail(`stored settings not shown: "${await shown(page, '#stored')}"`);
    }
    await page.click('#defaults');
    await page.click('#start');
    const written = await page.evaluate(() => new TextDecoder().decode(ValePage.files.read('data/Config.cfg')));
    if (!/zbuffer_depth 24\n/.test(written) || !/frameratecounter 1\n/.test(written)) fail(`after Defaults: ${written}`);
    clean(page);
    await page.close();
  },
  // No Web Audio: the shot is silent, the game goes on and says so; Escape ends it.
  'no Web Audio': async () => {
    const page = await open('', (page) => page.evaluateOnNewDocument(() => {
      window.AudioContext = function() { throw new Error('refused'); };
    }));
    await page.click('#start');
    await frames(page, 3);
    await mouse(page, 'mousedown', {button: 0});  // held for frames: the game reads the button once a frame
    await frames(page, 3);
    await mouse(page, 'mouseup', {button: 0});
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
    await box(page, says('kRenderingContext'));
    await ended(page);
    if (!/no WebGL/.test(await shown(page, '#notice'))) fail('WebGL missing is not said');
    await page.close();
  },
};

// In the second engine, the runs in a row: the rest is the page's own logic, the same in any browser.
async function checks(all = pageChecks) {
  const failed = [], chosen = Object.entries(all).filter(([name]) => !firefox || name === 'runs in a row');
  for (const [name, check] of chosen) {
    try {
      await check();
    } catch (error) {
      console.error(`FAIL ${name}: ${error.message}`);
      failed.push(name);
    }
  }
  if (failed.length) fail(`${failed.length} of ${chosen.length} checks: ${failed.join(', ')}`);
}

// The same picture but for the rasterisers' rounding: a pixel differs when
// a channel differs by more than 24 of 255. (Each C library's rand puts the
// balls elsewhere; the one that differs in the first frame lies deep in the fog.)
async function compare() {
  const page = await open('?fixedclock');
  await page.evaluate(() => { document.getElementById('frameratecounter').value = '0'; });
  const pixels = grab(page, '-flip', 'rgba:-');
  await page.click('#start');
  const frame = path.resolve(work, 'first-native.rgba');  // RGBA rows from the bottom
  execFileSync('bench/vale_bench', ['.'], {cwd: nativeBuild, env: {...process.env, VALE_BENCH_FIRST: frame, LP_NUM_THREADS: '0'}});
  const web = await pixels, native = fs.readFileSync(frame);
  if (web.length !== native.length) fail(`frames of ${web.length} and ${native.length} bytes`);
  let differ = 0, sum = 0;
  for (let i = 0; i < web.length; i += 4) {
    const d = Math.max(...[0, 1, 2].map((c) => Math.abs(web[i + c] - native[i + c])));
    sum += d;
    differ += d > 24;
  }
  const n = web.length / 4;
  console.log(`against the native frame: ${(100 * differ / n).toFixed(2)} % of the pixels differ by more than 24, ` +
              `mean difference ${(sum / n).toFixed(2)}`);
  if (differ > n * 0.02) fail('the browser draws another picture');
  if (sum / n > 6) fail('the browser draws the picture in other colours');
  clean(page);
}

// What a person sees of the frames: every frame the game draws is presented
// (none drawn only to be thrown away), each unlike the last while the view
// turns, at a rate not far below a plain page's that only clears its canvas
// (here the software GPU bounds the game at about half of it: 0.46 to 0.55
// measured, also beside another build; the frames thrown away gave 0.06 to
// 0.14): the bar, 0.3, lies far enough from both for one round of each.
async function present() {
  const page = await open();
  await page.click('#start');
  await frames(page, 10);
  const plain = await browser.newPage();
  await plain.setViewport({width: 1024, height: 768});
  await plain.setContent(plainPage);
  await page.bringToFront();  // a tab behind another gets no animation frames, and the game rests
  const drawn = await page.evaluate(() => ValePage.frames);
  const g = await presented(page, 3, {turn});
  g.drawn = await page.evaluate(() => ValePage.frames) - drawn;
  await plain.bringToFront();
  const p = await presented(plain, 3);
  console.log(`presented ${g.rate.toFixed(1)} frames a second of ${g.drawn} drawn in 3 s (${g.frames} presented, ` +
              `${g.same} as the last); the plain page ${p.rate.toFixed(1)}: ${(g.rate / p.rate).toFixed(2)} of it`);
  // The last three drawn may still be on their way to the screen when the count is taken.
  if (g.frames < 0.9 * g.drawn - 3) fail(`${g.drawn} frames drawn, ${g.frames} presented`);
  if (g.same > g.frames / 20) fail(`${g.same} of ${g.frames} presented frames as the last while turning`);
  if (g.rate < 0.3 * p.rate) fail(`${g.rate.toFixed(1)} frames a second presented, the plain page ${p.rate.toFixed(1)}`);
  clean(page);
}

// A phone held sideways, played by touch (the DevTools protocol's touch
// events): the canvas fills the screen's height and the page does not
// scroll, also after turning the phone; the stick pushed forward walks (the
// mark a quick tap of fire leaves goes down the screen) and stops when
// lifted, a drag on the right turns the view, zoom held zooms, and End ends
// the run with its log.
async function touch() {
  const phone = {width: 915, height: 412, deviceScaleFactor: 2, isMobile: true, hasTouch: true, isLandscape: true};
  const page = await open('?fixedclock', (p) => p.emulate({viewport: phone, userAgent: 'Mozilla/5.0 (Linux; Android 14) Mobile'}));
  const began = Date.now(), cdp = await page.createCDPSession(), fingers = {};
  await page.tap('#start');
  await listen(page);
  await frames(page, 3);
  // A finger put down or moved to (x, y), or lifted (no x); then two frames.
  const finger = async (id, x, y) => {
    const type = x === undefined ? 'touchEnd' : id in fingers ? 'touchMove' : 'touchStart', lifted = [fingers[id]];
    if (x === undefined) delete fingers[id]; else fingers[id] = {x, y, id};
    // Put down and moved: the fingers on the screen; lifted: the finger that leaves it.
    await cdp.send('Input.dispatchTouchEvent', {type, touchPoints: x === undefined ? lifted : Object.values(fingers)});
    await frames(page, 2);
  };
  const centre = (selector) => page.$eval(selector, (b) => { const r = b.getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; });
  const fits = async (w, h) => {
    await frames(page, 2);  // a resize is told at the next animation frame
    const [width, height, scrolls] = await page.$eval('canvas', (c) => [c.getBoundingClientRect().width, c.getBoundingClientRect().height,
      document.scrollingElement.scrollWidth > innerWidth || document.scrollingElement.scrollHeight > innerHeight]);
    if (Math.abs(width - w) > 1 || Math.abs(height - h) > 1 || scrolls) fail(`the canvas is ${width}x${height} (scrolls: ${scrolls}) on a ${phone.width}x${phone.height} screen`);
  };
  await fits(412 * 4 / 3, 412);
  const view = async (name) => (await frames(page, 1), await shot(page, path.join(work, `${name}.ppm`)), path.join(work, `${name}.ppm`));
  const checker = process.env.VALE_PIXELS || fail('no screenshot checker (VALE_PIXELS)');
  const changed = (a, b, region) => spawnSync(checker, ['changed', a, b, region]).status === 0;
  const dark = (file, ...regions) => execFileSync(checker, ['measure', file, ...regions.flatMap((r) => ['dark', r])]).toString().trim().split(' ').map(Number);
  const still = await view('touch-still');
  for (let x = 800; x > 400; x -= 50) await finger(2, x, 200);  // a drag on the right turns the view (79 degrees)
  await finger(2);
  const turned = await view('touch-turned');
  if (!changed(still, turned, '520x768+0+0')) fail('a drag on the right does not turn the view');
  for (let n = 0; n < 2; n++) {  // and down twice, past the pitch limit, at the ground
    for (let y = 20; y < 400; y += 95) await finger(2, 800, y);
    await finger(2);
  }
  const centred = '100x100+462+334', above = '100x100+462+234', below = '100x334+462+434';
  const [before] = dark(await view('touch-down'), centred);
  await finger(1, 120, 300);  // the stick's finger down, and fire tapped quickly beside it: the mark, and the shot heard
  const [x, y] = await centre('#touch .fire'), tap = {x, y, id: 3};  // put down and lifted between two frames
  await Promise.all([cdp.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: [fingers[1], tap]}),
                     cdp.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: [tap]})]);
  const [mark] = dark(await view('touch-fired'), centred);
  if (mark < before + 50) fail(`fire tapped left no mark (${before} -> ${mark} dark pixels)`);
  if (!await heard(page)) fail('fire tapped is not heard');
  await frames(page, 60);  // the recoil settles
  // The stick pushed forward walks as W does: the mark goes down the screen
  // (looked for frame by frame: a busy machine lets more frames by).
  await finger(1, 120, 230);
  let up = 0, down = 0;
  for (let n = 0; n < 20 && down < 50; n++) [up, down] = dark(await view('touch-walked'), above, below);
  await finger(1);
  if (down < 50 || up > down) fail(`the stick pushed forward does not walk forward (the mark: ${up} above, ${down} below)`);
  await frames(page, 30);  // the walk slows down to a stop
  const stopped = await view('touch-stopped');
  await frames(page, 20);
  const ground = '480x240+40+480', after = await view('touch-after');
  if (changed(stopped, after, ground)) fail('the walk goes on after the finger is lifted');
  await finger(5, ...await centre('#touch .zoom'));  // zoom held: the view narrows
  await frames(page, 10);
  if (!changed(after, await view('touch-zoomed'), ground)) fail('zoom held does not zoom');
  await finger(5);
  Object.assign(phone, {width: 412, height: 915, isLandscape: false});  // upright: asked to turn it
  await page.setViewport(phone);
  if (!await page.$eval('#rotate', (e) => e.offsetHeight > 0)) fail('an upright phone is not asked to turn');
  Object.assign(phone, {width: 740, height: 360, isLandscape: true});
  await page.setViewport(phone);
  await fits(480, 360);
  await sleep(Math.max(0, 2100 - (Date.now() - began)));  // the run writes its log after two seconds
  await finger(4, ...await centre('#touch .quit'));
  await finger(4);
  const end = await ended(page);
  if (end.status !== 0 || !/average/.test(end.log)) fail(`End: status ${end.status}, log "${end.log}"`);
  clean(page);
}

// Visited once, the site plays with the network off; a changed build then
// takes over whole at the next visit, its files in place of the old ones.
async function offline() {
  const files = async (page) => page.evaluate(async () => Promise.all((await caches.keys()).map(async (name) =>
    `${name}: ${(await (await caches.open(name)).keys()).length}`)));
  // The worker made anew by the build's own script, for the files the build's
  // worker keeps, named by those files as they are.
  const root = path.join(path.dirname(fileURLToPath(import.meta.url)), '../..'), worker = path.join(served, 'sw.js');
  const listed = /'([^']*)'\.split/.exec(fs.readFileSync(worker, 'utf8'))[1].split(' ');
  const build = () => (execFileSync('cmake', [`-DIN=${root}/src/platform/web/sw.js`, `-DOUT=${worker}`,
    `-DFILES=${listed.map((f) => path.join(served, f)).join('|')}`,
    '-P', `${root}/cmake/site_worker.cmake`]), /cacheName = '([^']+)'/.exec(fs.readFileSync(worker, 'utf8'))[1]);
  const first = build();
  let page = await open();
  await page.waitForFunction(async (count) => (await caches.keys()).length === 1 &&
    (await (await caches.open((await caches.keys())[0])).keys()).length === count, {timeout: 30000}, listed.length + 1);  // and the site's own address
  await page.setOfflineMode(true);
  await page.reload();
  await page.waitForSelector('#start:not([hidden])', {timeout: 30000});
  await page.click('#start');
  await frames(page, 5);
  if (!await drawn(page)) fail('no frame drawn offline');
  clean(page);
  await page.close();
  // A new build, found while the form is edited: the page changed, so the
  // worker's cache has another name; it takes over at the start, the typed width kept.
  page = await open();
  await page.$eval('#resolution_width', (e) => { e.value = '900'; e.dispatchEvent(new Event('input', {bubbles: true})); });
  const index = path.join(served, 'index.html');
  fs.writeFileSync(index, fs.readFileSync(index, 'utf8').replace('<head>', '<head><meta name="build" content="next">'));
  const next = build();
  if (next === first) fail(`a changed build keeps its cache's name, ${first}`);
  await page.evaluate(async () => (await navigator.serviceWorker.getRegistration()).update());
  await page.waitForFunction(async () => (await navigator.serviceWorker.getRegistration()).waiting, {timeout: 30000});
  await Promise.all([page.waitForNavigation({timeout: 30000}), page.click('#start')]);
  // The new build's run, 900 wide.
  await page.waitForFunction(() => window.ValePage?.frames > 0 && document.querySelector('meta[name=build]') &&
    GLctx.drawingBufferWidth === 900, {timeout: 30000});
  const kept = await files(page);
  if (kept.join() !== `${next}: ${listed.length + 1}`) fail(`kept after the new build: ${kept.join(', ')}`);
}

try {
  await ({page: checks, recover: () => checks(recoverChecks(open, altered, playOut, playAgain)), touch, offline, present, frame: compare})[mode]();
  console.log(`web ${mode} test passed`);
} catch (error) {
  console.error(`FAIL: ${error.message}`);
  process.exitCode = 1;
} finally {
  await close();
  if (served !== dir) fs.rmSync(served, {recursive: true, force: true});
}
