// Plays the browser build in headless Chromium (Debian's, driven through
// the DevTools protocol by puppeteer-core) as a person would, the site
// served from this machine's loopback.
//   node web_test.mjs play|shell SITE_DIR WORK_DIR
//   node web_test.mjs frame SITE_DIR WORK_DIR NATIVE_FRAME
// play: the page starts on a click and draws the demo (fog-coloured sky,
//   terrain, balls found by their stripes, the crosshair, the weapon, the
//   frame-rate counter); mouse motion turns the view, W walks, a click fires
//   (the sound is heard), Escape ends the run and the page shows the log.
// shell: a missing texture shows its numbered box and the run goes on; a
//   missing Config.cfg shows "Error -31" and ends the run; without the
//   multitexture entry points "Error -34" shows and the run ends before the
//   first frame.
// frame: the first frame at a fixed state (the clocks 1/60 s a frame, no
//   input, no counter) against the native build's at the same state
//   (NATIVE_FRAME, RGBA rows from the bottom, written by the benchmark):
//   the same picture but where the balls lie (each C library's rand scatters
//   them its own way) and within the two rasterisers' rounding.
// Frames are read where the game draws them, right at the swap; every
// wait follows an event (a frame, a box, the end) and has a bound.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [mode, site, work, nativeFrame] = process.argv.slice(2);
fs.mkdirSync(work, {recursive: true});
const fail = (message) => { throw new Error(message); };

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png'};
const server = http.createServer((request, response) => {
  const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
  const file = path.join(site, path.normalize(name.endsWith('/') ? name + 'index.html' : name));
  fs.readFile(file, (error, data) => {
    response.writeHead(error ? 404 : 200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
    response.end(error ? undefined : data);
  });
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const base = `http://127.0.0.1:${server.address().port}/`;

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         '--autoplay-policy=no-user-gesture-required', '--window-size=1200,1000'],
});

// Every console error or uncaught exception of a page fails the test.
async function open(query = '') {
  const page = await browser.newPage();
  await page.setViewport({width: 1200, height: 1000});
  page.problems = [];
  page.on('console', (m) => { if (m.type() === 'error') page.problems.push(m.text()); });
  page.on('pageerror', (e) => page.problems.push(e.message));
  await page.goto(base + query);
  await page.waitForSelector('#start:not([hidden])', {timeout: 30000});
  return page;
}

// Measures of the next frame the game draws, counted over regions given
// as [x, y, width, height] from the top left: pixels of each kind (the
// end-to-end runs' screenshot checker's kinds), and the mean colour.
async function frame(page, regions) {
  return page.evaluate((regions) => new Promise((resolve) => {
    ValePage.onFrame = () => {
      const gl = GLctx, w = gl.drawingBufferWidth, h = gl.drawingBufferHeight;
      const px = new Uint8Array(w * h * 4);
      gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, px);
      const kinds = {
        balls: (r, g, b) => r > g + 25 && r > b + 20 && Math.abs(g - b) < 12,
        white: (r, g, b) => r > 200 && g > 200 && b > 200,
        weapon: (r, g, b) => r < 110 && g < 115 && b < 125 && b - r < 25 && r - b < 25 && g < r + 15,
        grass: (r, g, b) => g > r + 15 && g > b + 20,
      };
      const out = {width: w, height: h, frames: ValePage.frames};
      for (const [name, [x0, y0, rw, rh]] of Object.entries(regions)) {
        const m = {balls: 0, white: 0, weapon: 0, grass: 0, r: 0, g: 0, b: 0};
        for (let y = y0; y < y0 + rh; y++) {
          for (let x = x0; x < x0 + rw; x++) {
            const i = ((h - 1 - y) * w + x) * 4, r = px[i], g = px[i + 1], b = px[i + 2];
            for (const k in kinds) if (kinds[k](r, g, b)) m[k]++;
            m.r += r; m.g += g; m.b += b;
          }
        }
        const n = rw * rh;
        m.r = Math.round(m.r / n); m.g = Math.round(m.g / n); m.b = Math.round(m.b / n);
        out[name] = m;
      }
      resolve(out);
    };
  }), regions);
}

// Waits until count more frames are drawn, or the run has ended.
async function frames(page, count) {
  const target = await page.evaluate((count) => ValePage.frames + count, count);
  await page.waitForFunction((target) => ValePage.frames >= target || !document.getElementById('end').hidden,
                             {timeout: 20000, polling: 5}, target);
}

// A key held for two frames: the game polls the keys once a frame.
async function press(page, key) {
  await page.keyboard.down(key);
  await frames(page, 2);
  await page.keyboard.up(key);
}

// The box shown with this caption: its text; answered with OK.
async function box(page, caption) {
  const handle = await page.waitForSelector('dialog.box[open]', {timeout: 30000});
  const [shown, text] = await handle.evaluate((d) => [d.querySelector('h2').textContent, d.querySelector('p').textContent]);
  if (shown !== caption) fail(`box "${shown}: ${text}", not "${caption}"`);
  await page.click('dialog.box button');
  return text;
}

async function ended(page) {
  await page.waitForSelector('#end:not([hidden])', {timeout: 30000});
  return page.$eval('#log', (e) => e.textContent);
}

function clean(page) {
  if (page.problems.length) fail(`console errors: ${page.problems.join(' | ')}`);
}

async function play() {
  // The page's fixed clock (1/60 s a frame) makes the run the same whatever
  // the machine's speed: the balls' first frames, stepped at one frame a
  // second until the rate is measured, would otherwise throw them anywhere.
  const page = await open('?fixedclock');
  await page.click('#start');
  const W = 1024, H = 768, fog = [128, 128, 128];
  const view = {sky: [0, 0, W, 60], crosshair: [511, 366, 3, 12], weapon: [520, 500, 400, 250], ground: [0, 560, 500, 208],
                counter: [0, H - 20, 40, 20], above: [0, 0, W, 460], left: [0, 460, 520, 308]};
  await frames(page, 3);
  const first = await frame(page, view);
  await page.screenshot({path: path.join(work, 'screenshot.png'), clip: await (await page.$('canvas')).boundingBox()});
  if (first.width !== W || first.height !== H) fail(`canvas ${first.width}x${first.height}, not ${W}x${H}`);
  const sky = first.sky;
  if (Math.abs(sky.r - fog[0]) > 12 || Math.abs(sky.g - fog[1]) > 12 || Math.abs(sky.b - fog[2]) > 12) {
    fail(`the sky is ${sky.r},${sky.g},${sky.b}, not the fog's colour`);
  }
  if (first.crosshair.white < 10) fail(`no crosshair (${first.crosshair.white} white pixels)`);
  if (first.weapon.weapon < 5000) fail(`no weapon in view (${first.weapon.weapon} pixels)`);
  if (first.ground.grass < 5000) fail(`no grass in view (${first.ground.grass} pixels)`);
  if (first.counter.white < 10) fail(`no frame-rate counter (${first.counter.white} white pixels)`);

  // A panorama by mouse motion, 45 degrees (450 pixels of motion) a view:
  // each view differs from the last, and the balls' stripes show somewhere
  // around. The pointer is not held here, so it sweeps the canvas to the
  // right and goes back round the outside, where its motion is not the
  // game's.
  const canvas = await (await page.$('canvas')).boundingBox();
  const y = canvas.y + H / 2, above = canvas.y - 20;
  let x = canvas.x + 10;
  const enter = async () => {
    await page.mouse.move(canvas.x - 5, above);
    await page.mouse.move(canvas.x - 5, y);
    await page.mouse.move(x = canvas.x + 10, y);
  };
  await enter();
  const turn = async (distance) => {
    if (x + distance > canvas.x + W - 10) {
      await page.mouse.move(canvas.x + W + 5, y);
      await page.mouse.move(canvas.x + W + 5, above);
      await enter();
    }
    x += distance;
    await page.mouse.move(x, y);
    await frames(page, 2);
  };
  // The balls fall from above and roll down into the hollows, the start's
  // among them, so they may show only after a while: up to three rounds.
  let balls = 0, last = first;
  for (let k = 0; k < 24 && !(k % 8 == 0 && balls >= 100); k++) {
    for (let step = 0; step < 3; step++) await turn(150);
    const seen = await frame(page, view);
    balls += seen.above.balls + seen.left.balls;
    const moved = Math.abs(seen.ground.r - last.ground.r) + Math.abs(seen.ground.g - last.ground.g) +
                  Math.abs(seen.above.r - last.above.r) + Math.abs(seen.above.g - last.above.g);
    console.log(`view ${k}: ${seen.above.balls + seen.left.balls} ball pixels, change ${moved}`);
    if (moved < 2) fail(`turning left view ${k} as it was`);
    last = seen;
    if (k < 8) await page.screenshot({path: path.join(work, `view-${k}.png`), clip: canvas});
  }
  if (balls < 100) fail(`no balls all round (${balls} pixels)`);

  // W walks: the ground changes while the key is held.
  await page.keyboard.down('w');
  await frames(page, 20);
  const walked = await frame(page, view);
  await page.keyboard.up('w');
  if (Math.abs(walked.ground.g - last.ground.g) + Math.abs(walked.ground.r - last.ground.r) < 2 &&
      walked.ground.grass === last.ground.grass) fail('walking did not change the view');

  // A click fires: the sound starts and is heard.
  await page.mouse.down();
  await frames(page, 3);
  await page.mouse.up();
  const heard = await page.evaluate(() => new Promise((resolve) => {
    const started = Date.now();
    const listen = () => {
      const meter = ValePage.meter, data = new Float32Array(meter ? meter.fftSize : 1);
      if (meter) meter.getFloatTimeDomainData(data);
      const peak = data.reduce((m, v) => Math.max(m, Math.abs(v)), 0);
      if ((ValePage.started > 0 && peak > 0.05) || Date.now() - started > 5000) resolve({started: ValePage.started, peak});
      else setTimeout(listen, 10);
    };
    listen();
  }));
  if (!heard.started || heard.peak <= 0.05) fail(`the shot was not heard (${heard.started} started, peak ${heard.peak})`);

  // Escape ends the run (a held pointer is freed first) after the log's two seconds.
  await new Promise((resolve) => setTimeout(resolve, 2000));
  // A held pointer is the browser's to free on Escape, which a synthetic key
  // does not reach: freed here as the browser would.
  if (await page.evaluate(() => document.pointerLockElement !== null)) {
    await page.evaluate(() => document.exitPointerLock());
    await page.waitForFunction(() => document.pointerLockElement === null, {timeout: 5000});
  }
  await press(page, 'Escape');
  const log = await ended(page);
  const values = /^ low peak: (\d+\.\d{6})\n  average: (\d+\.\d{6})\nhigh peak: (\d+\.\d{6})$/.exec(log);
  if (!values) fail(`the log: ${log}`);
  const [low, average, high] = values.slice(1).map(Number);
  // The peaks follow the (fixed) clock, the average the frames over the
  // run's real time: only their own order and a rate above 0 hold.
  if (!(low <= high && average > 0)) fail(`the log's values: ${log}`);
  if (await page.$eval('#download', (a) => a.hidden)) fail('fps.txt is not offered');
  console.log(`first frame: sky ${sky.r},${sky.g},${sky.b}, weapon ${first.weapon.weapon}, log ${low}/${average}/${high}`);
  clean(page);
}

async function shell() {
  // A texture missing: its box, and the run goes on to draw.
  let page = await open();
  await page.evaluate(() => Module.FS.unlink('data/Textures/Landmap.tga'));
  await page.click('#start');
  const text = await box(page, 'Error -20');
  if (!/Landmap|Unable|open/i.test(text) && !text.endsWith('!')) fail(`the box's text: ${text}`);
  await frames(page, 3);
  await press(page, 'Escape');
  await ended(page);
  await page.close();

  // Config.cfg missing: "Error -31", and the run ends there.
  page = await open();
  await page.evaluate(() => Module.FS.unlink('data/Config.cfg'));
  await page.click('#start');
  const config = await box(page, 'Error -31');
  if (config !== 'Configuration initialization failed (incorrect paths)!') fail(`the -31 text: ${config}`);
  await ended(page);
  if (await page.evaluate(() => ValePage.frames) !== 0) fail('frames drawn without Config.cfg');
  await page.close();

  // No multitexturing: "Error -34", then the end before the first frame.
  page = await open('?nomultitexture');
  await page.click('#start');
  const multi = await box(page, 'Error -34');
  if (multi !== 'Current version of OpenGL does not support multitexturing!') fail(`the -34 text: ${multi}`);
  await ended(page);
  if (await page.evaluate(() => ValePage.frames) !== 0) fail('frames drawn without multitexturing');
  console.log('boxes: Error -20, Error -31, Error -34');
}

async function compare() {
  const page = await open('?fixedclock');
  await page.evaluate(() => { document.getElementById('frameratecounter').value = '0'; });
  const pixels = page.evaluate(() => new Promise((resolve) => {
    ValePage.onFrame = () => {
      const gl = GLctx, px = new Uint8Array(gl.drawingBufferWidth * gl.drawingBufferHeight * 4);
      gl.readPixels(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight, gl.RGBA, gl.UNSIGNED_BYTE, px);
      let text = '';
      for (let i = 0; i < px.length; i += 0x8000) text += String.fromCharCode.apply(null, px.subarray(i, i + 0x8000));
      resolve(btoa(text));
    };
  }));
  await page.click('#start');
  const web = Buffer.from(await pixels, 'base64'), native = fs.readFileSync(nativeFrame);
  if (web.length !== native.length) fail(`frames of ${web.length} and ${native.length} bytes`);
  // A pixel differs when a channel differs by more than 24 of 255; the
  // balls' stripes, in either picture, are where the balls lie.
  const stripes = (p, i) => p[i] > p[i + 1] + 25 && p[i] > p[i + 2] + 20 && Math.abs(p[i + 1] - p[i + 2]) < 12;
  let differ = 0, balls = 0, sum = 0, slight = 0;
  const ppm = (name, p) => {
    const header = Buffer.from('P6\n1024 768\n255\n'), body = Buffer.alloc(1024 * 768 * 3);
    for (let y = 0; y < 768; y++) for (let x = 0; x < 1024; x++) {
      for (let c = 0; c < 3; c++) body[(y * 1024 + x) * 3 + c] = p[((767 - y) * 1024 + x) * 4 + c];
    }
    fs.writeFileSync(path.join(work, name), Buffer.concat([header, body]));
  };
  ppm('first-web.ppm', web);
  ppm('first-native.ppm', native);
  for (let i = 0; i < web.length; i += 4) {
    const d = Math.max(Math.abs(web[i] - native[i]), Math.abs(web[i + 1] - native[i + 1]), Math.abs(web[i + 2] - native[i + 2]));
    sum += d;
    if (d > 8) slight++;
    if (d > 24) {
      if (stripes(web, i) || stripes(native, i)) balls++;
      else differ++;
    }
  }
  const n = web.length / 4;
  console.log(`first frame against the native one: ${(100 * differ / n).toFixed(2)} % of the pixels differ by more ` +
              `than 24 of 255 (besides ${balls} ball pixels), ` +
              `${(100 * slight / n).toFixed(2)} % by more than 8, the mean difference is ${(sum / n).toFixed(2)}`);
  if (differ > n * 0.02) fail('the browser draws another picture');
  if (sum / n > 6) fail('the browser draws the picture in other colours');
  clean(page);
}

try {
  await (mode === 'play' ? play() : mode === 'shell' ? shell() : compare());
  console.log(`web ${mode} test passed`);
} catch (error) {
  console.error(`FAIL: ${error.message}`);
  process.exitCode = 1;
} finally {
  await browser.close();
  server.close();
}
