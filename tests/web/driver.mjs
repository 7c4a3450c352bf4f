// The browser build's driver: the page in headless Chromium, or in Firefox
// ESR with VALE_BROWSER=firefox (Debian's, driven by puppeteer-core), the
// site served from the loopback. Its helpers
// serve web_test.mjs; run as a program it answers the end-to-end runs
// (tests/e2e/lib.sh), one request a line, fields split by tabs, with "ok"
// and what was asked or "fail" and why:
//   node driver.mjs SITE_DIR WORK_DIR
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import readline from 'node:readline';
import {fileURLToPath} from 'node:url';
import {firefox, launch, serve} from '../../tools/web_site.mjs';

export const fail = (message) => { throw new Error(message); };
export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The browser composites on the CPU where presented frames are not measured
// (quick): two of them beside each other then draw 40 % more frames.
export async function site(dir, quick = true) {
  const altered = {}, {url, server} = await serve(dir, altered);
  const browser = await launch('--autoplay-policy=no-user-gesture-required', ...(quick ? ['--disable-gpu-compositing'] : []));
  // A page of the site, ready to start (or, where ready is false, just
  // opened), before(page) run first; any console error or uncaught exception
  // on it fails the check that opened it.
  const open = async (query = '', before = null, ready = true) => {
    const page = await browser.newPage();
    await page.setViewport({width: 1024, height: 768});  // the canvas as it draws
    page.problems = [];
    page.on('console', (m) => { if (m.type() === 'error') page.problems.push(m.text()); });
    page.on('pageerror', (e) => page.problems.push(e.message));
    if (before) await before(page);
    await page.goto(url + query);
    if (ready) await page.waitForSelector('#start:not([hidden])', {timeout: 30000});
    return page;
  };
  const close = async () => { await browser.close(); server.close(); };
  return {browser, open, close, altered};
}

// The next frame the game draws, its canvas's PNG turned by ImageMagick into
// what the arguments say (the raw pixels through the DevTools protocol took twice as long).
export async function grab(page, ...to) {
  const png = await page.evaluate(() => new Promise((resolve) => {
    ValePage.onFrame = () => resolve(document.getElementById('canvas').toDataURL());
  }));
  return execFileSync('convert', ['png:-', ...to], {input: Buffer.from(png.split(',')[1], 'base64'), maxBuffer: 1 << 26});
}
// The next frame as FILE, a PPM as the desktop builds' screenshots are.
export const shot = (page, file) => grab(page, `ppm:${file}`);

// Until count more frames are drawn, or the run has ended.
export async function frames(page, count) {
  const target = await page.evaluate((count) => ValePage.frames + count, count);
  await page.waitForFunction((target) => ValePage.frames >= target || !document.getElementById('end').hidden,
                             {timeout: 20000, polling: 5}, target);
}

export const shown = (page, selector) => page.$eval(selector, (e) => (e.hidden ? '' : e.textContent));
export const drawn = (page) => page.evaluate(() => ValePage.frames);
export const clean = (page) => page.problems.length && fail(`console errors: ${page.problems.join(' | ')}`);
// The end page: the run's status and its log ('' for none).
export async function ended(page) {
  await page.waitForSelector('#end:not([hidden])', {timeout: 30000});
  return page.evaluate(() => ({status: +document.getElementById('end').dataset.status & 255,
                               log: document.getElementById('download').hidden ? '' : document.getElementById('log').textContent}));
}
// A held pointer is the browser's to free on Escape, which a synthetic key
// does not reach: freed before Escape is sent.
async function freePointer(page) {
  await page.evaluate(() => document.exitPointerLock());
  await page.waitForFunction(() => document.pointerLockElement === null, {timeout: 5000});
}
// A key held for two frames (the game reads the keys once a frame).
export async function press(page, key) {
  if (key === 'Escape') await freePointer(page);
  await page.keyboard.down(key);
  await frames(page, 2);
  await page.keyboard.up(key);
}
// A key (or, with key null, a mouse button) pressed and let go between two
// frames: both events in one task of the page, which draws no frame between.
export async function tap(page, key, button = 0) {
  if (key === 'Escape') await freePointer(page);
  await page.evaluate((key, button) => {
    const codes = {Escape: 27};
    for (const type of key ? ['keydown', 'keyup'] : ['mousedown', 'mouseup']) {
      if (key) document.dispatchEvent(new KeyboardEvent(type, {key, keyCode: codes[key] ?? key.toUpperCase().charCodeAt(0)}));
      else document.getElementById('canvas').dispatchEvent(new MouseEvent(type, {button}));
    }
  }, key, button);
}
// The box that is open, "caption: text" as expected, answered with OK; the
// program must still be waiting for it a tenth of a second on.
export async function box(page, expected) {
  const dialog = await page.waitForSelector('dialog.box[open]', {timeout: 30000});
  await sleep(100);
  if (!await page.$eval('#end', (e) => e.hidden)) fail('the run ended with its box still open');
  const said = await dialog.evaluate((d) => `${d.querySelector('h2').textContent}: ${d.querySelector('p').textContent}`);
  if (said !== expected) fail(`box "${said}", not "${expected}"`);
  await page.click('dialog.box button');
}
// The mouse as the game's canvas hears it: motion, and its buttons (0 left, 2 right).
export const mouse = (page, type, init) => page.$eval('canvas', (c, type, init) => c.dispatchEvent(new MouseEvent(type, init)), type, init);

// Whether the firing sound was heard within 5 s: a sound started, and its
// samples not silence, at any time since listen(page) (heard, the loudest
// sample the page's meter has shown).
export const listen = (page) => page.evaluate(() => {
  const data = new Float32Array(32768);
  window.loudest = 0;
  setInterval(() => {
    ValePage.meter?.getFloatTimeDomainData(data);
    if (ValePage.started) window.loudest = data.reduce((m, v) => Math.max(m, Math.abs(v)), window.loudest);
  }, 50);
});
// Firefox finds no sound device on this machine (its audio stays suspended):
// there the sound must have been started.
export const heard = (page) => page.waitForFunction((firefox) => (firefox ? ValePage.started > 0 : window.loudest > 0.05),
                                                    {timeout: 5000, polling: 10}, firefox)
  .then(() => true, () => false);

// The requests of the end-to-end runs; the page's fixed clock (1/60 s a
// frame) makes each run the same on any machine.
async function answer(dir, work) {
  const {open, close} = await site(dir);
  let page = null;
  const requests = {
    start_run: async (...options) => {
      if (page) await page.close();
      page = await open(options.includes('nomultitexture') ? '?fixedclock&nomultitexture' : '?fixedclock');
      for (let i = options.indexOf('without'); i >= 0; i = options.indexOf('without', i + 1)) {
        await page.evaluate((file) => ValePage.files.remove(file), options[i + 1]) || fail(`no ${options[i + 1]} to remove`);
      }
      await page.click('#start');
      await listen(page);
    },
    frames: (n) => frames(page, +n),
    shot: (name) => shot(page, path.join(work, `${name}.ppm`)),
    key: (key, how) => (how === 'press' ? press(page, key) : how === 'tap' ? tap(page, key) : page.keyboard[how](key)),
    move: (dx, dy) => mouse(page, 'mousemove', {movementX: +dx, movementY: +dy}),
    button: (n, how) => (how === 'tap' ? tap(page, null, n - 1) : mouse(page, `mouse${how}`, {button: n - 1})),
    heard: async () => (await heard(page)) ||
      fail(`the shot was not heard (${await page.evaluate(() => `${ValePage.started} sounds started, audio ${ValePage.audio?.state}, loudest ${window.loudest}`)})`),
    box: (caption, text) => box(page, `${caption}: ${text}`),
    ended: async (status) => {
      const end = await ended(page);
      if (end.status !== +status) fail(`exit status ${end.status}, not ${status}`);
      clean(page);
      if (end.log) fs.writeFileSync(path.join(work, 'fps.txt'), end.log);
      else fs.rmSync(path.join(work, 'fps.txt'), {force: true});
    },
    log: () => (fs.existsSync(path.join(work, 'fps.txt')) ? path.join(work, 'fps.txt') : ''),
  };
  for await (const line of readline.createInterface({input: process.stdin})) {
    const [request, ...args] = line.split('\t');
    try {
      const said = await (requests[request] || (() => fail(`no request ${request}`)))(...args);
      console.log(typeof said === 'string' && said ? `ok ${said}` : 'ok');
    } catch (error) {
      console.log(`fail ${error.message.split('\n')[0]}`);
    }
  }
  await close();
}

if (process.argv[1] === fileURLToPath(import.meta.url)) await answer(...process.argv.slice(2));
