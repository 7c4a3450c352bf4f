// The page tried as a careless person and a hostile browser would: each
// check on a page of its own, named for what the person sees.
import {drawn, ended, fail, frames, mouse, shown, sleep} from './driver.mjs';

const said = async (page, selector, pattern) => pattern.test(await shown(page, selector)) || fail(`${selector} says "${await shown(page, selector)}", not ${pattern}`);
const typed = async (page, width) => (await page.click('#resolution_width', {count: 3}), page.keyboard.type(String(width)));
// The form's fields as shown, by id.
const form = (page) => page.$$eval('#settings input, #settings select', (fields) => JSON.stringify(Object.fromEntries(fields.map((f) => [f.id, f.type === 'checkbox' ? +f.checked : +f.value]))));

// Each check's page is closed as the next opens.
const fresh = async (open, ...args) => (await fresh.last?.close().catch(() => {}), fresh.last = await open(...args));

export const recoverChecks = (opened, altered, playOut, playAgain, open = (...args) => fresh(opened, ...args)) => ({
  // A download cut short while the offline copy was made: mended on the
  // server, one "Try again" plays. (The page's own download and the offline
  // copy's both cut.)
  'a broken download mended by one Try again': async () => {
    let served = 0;
    altered['vale.data'] = (data) => (served++, data.subarray(0, data.length >> 1));
    const page = await open('', null, false);
    while (served < 2) await sleep(50);
    await page.waitForFunction(async () => !(await navigator.serviceWorker.getRegistration())?.installing, {timeout: 30000});
    delete altered['vale.data'];
    await Promise.all([page.waitForNavigation(), page.click('#retry')]);
    await page.waitForSelector('#start:not([hidden])', {timeout: 30000});
  },
  // Downloads that fail: the file and what went wrong said, with a way to
  // try again; a connection dropped is the network's, not the server's copy.
  'downloads that fail say why': async () => {
    for (const [file, answer, text] of [['vale.data', () => 404, /^vale\.data could not be downloaded: the server answered 404/],
      ['vale.wasm', () => Buffer.from('\0asm not a program at all'), /^vale\.wasm is damaged/],
      ['vale.data', (d) => d.subarray(0, d.length >> 1), /^vale\.data is cut short: \d+ of its \d+ bytes/],
      ['vale.wasm', () => null, /connection, then try again\.$/],
      ['vale.wasm', (d) => Buffer.concat([d, Buffer.from([0, 2, 1, 120])]), /^vale\.wasm is of another build than vale\.js/]]) {
      altered[file] = answer;
      const page = await open('', (p) => p.setBypassServiceWorker(true), false);
      await page.waitForSelector('#problem:not([hidden]) #retry', {visible: true, timeout: 10000});
      delete altered[file];
      await said(page, '#problem-text', text);
    }
  },
  // Over plain http, where the page checks no digests: a vale.data of its
  // size that is no archive (a count of 2^32 - 1 files) is said to be damaged.
  'a damaged vale.data over plain http says so': async () => {
    altered['vale.data'] = (d) => Buffer.concat([Buffer.from([255, 255, 255, 255]), d.subarray(4)]);
    const page = await open('', (p) => Promise.all([p.setBypassServiceWorker(true),
      p.evaluateOnNewDocument(() => Object.defineProperty(window, 'isSecureContext', {value: false}))]), false);
    await page.waitForSelector('#problem:not([hidden]) #retry', {visible: true, timeout: 10000});
    delete altered['vale.data'];
    await said(page, '#problem-text', /^vale\.data is damaged: it is not an archive of the game's files/);
  },
  // A stored file of 2 MB, and storage that refuses: the form shows what it
  // read; the run starts with the typed values, again, and the page says they are not kept.
  'settings the game cannot take are said; typed ones start the run without storage': async () => {
    const page = await open('', (p) => p.evaluateOnNewDocument(() => {
      localStorage.setItem('vale.Config.cfg', 'resolution_width 800 ' + ' '.repeat(2 << 20));
      Storage.prototype.setItem = () => { throw new Error('full'); };
    }));
    await said(page, '#notice', /not be read in full/);
    if (await page.$eval('#resolution_width', (e) => e.value) !== '800') fail('the 2 MB file\'s width is not shown');
    await typed(page, 640);
    await page.click('#start');
    await playOut(page);
    await playAgain(page);
    if (await page.evaluate(() => GLctx.drawingBufferWidth) !== 640) fail('the second run is not 640 wide');
    await said(page, '#notice', /will not be kept/);
  },
  // Pointer lock that throws: the click still fires. Then
  // the context lost: said, and the run ends as a run ends.
  'a browser that throws still fires; a lost context ends the run': async () => {
    const page = await open('', (p) => p.evaluateOnNewDocument(() => {
      Element.prototype.requestPointerLock = Element.prototype.requestFullscreen = () => { throw new Error('no'); };
    }));
    await page.click('#start');
    await mouse(page, 'mousedown', {button: 0});  // held for frames: the game reads the button once a frame
    await page.waitForFunction(() => ValePage.started > 0, {timeout: 10000});
    await page.evaluate(() => GLctx.getExtension('WEBGL_lose_context').loseContext());
    if ((await ended(page)).status) fail('the run lost its context and failed');
    await said(page, '#notice', /graphics were lost/);
  },
  // A slow line (0.8 MB a second): the bytes so far of the whole shown, rising, before "Click to play".
  'a slow line shows the bytes loaded of the whole': async () => {
    const page = await open('', (p) => Promise.all([p.setBypassServiceWorker(true), p.emulateNetworkConditions({download: 8e5, upload: 8e5, latency: 0}),
      p.evaluateOnNewDocument(() => new MutationObserver(() => (window.seen ??= []).push(document.getElementById('status')?.textContent))
        .observe(document, {subtree: true, childList: true}))]));
    const [whole, seen] = await page.evaluate(() => [(performance.getEntriesByType('resource').filter((e) => /vale\.(wasm|data)$/.test(e.name))
      .reduce((sum, e) => sum + e.decodedBodySize, 0) / 1e6).toFixed(1), [...new Set(window.seen)].join('", "')]);
    const parts = [...seen.matchAll(new RegExp(`Loading… (\\d+\\.\\d) of ${whole} MB`, 'g'))].map((m) => +m[1]);
    if (new Set(parts).size < 3 || parts.some((x, i) => x < parts[i - 1])) fail(`on a slow line, of ${whole} MB: "${seen}"`);
  },
  // The connection lost once the program and its data have arrived, as
  // vale.js is asked for: the network's, not the server's copy.
  'a connection lost between two files says to check it': async () => {
    altered['vale.js'] = () => null;
    const page = await open('', (p) => p.setBypassServiceWorker(true), false);
    await page.waitForSelector('#problem:not([hidden])', {timeout: 10000});
    delete altered['vale.js'];
    await said(page, '#problem-text', /^vale\.js .*Check the connection/);
  },
  // A stored Config.cfg with a NUL: the notice names it, the form shows
  // what was read before it, and "Defaults" gives the shipped values.
  'a stored Config.cfg with a NUL is read up to it; Defaults sets the shipped values': async () => {
    const shipped = await form(await open('', (p) => p.evaluateOnNewDocument(() => localStorage.clear())));
    const before = {resolution_width: 800, resolution_height: 600, fullscreen: 0, frameratecounter: 2, texturefilter: 0};
    const text = Object.entries(before).map((v) => v.join(' ')).join('\n') + '\0resolution_height 123';
    const page = await open('', (p) => p.evaluateOnNewDocument((text) => localStorage.setItem('vale.Config.cfg', text), text));
    await said(page, '#notice', new RegExp(`a NUL at byte ${text.indexOf('\0')}\\b`));
    if (await form(page) !== JSON.stringify(before)) fail(`the form shows ${await form(page)} of ${JSON.stringify(text)}`);
    await page.click('#defaults');
    if (await form(page) !== shipped) fail(`after "Defaults" the form shows ${await form(page)}, not ${shipped}`);
  },
  // A phone held sideways, the smallest (640x360) whose full screen throws
  // and a larger one (844x390) whose full screen gives no promise: "Click
  // to play" in view, the run started, and the canvas fitted to the screen.
  'a phone whose full screen throws or gives no promise plays, fitted': async () => {
    for (const [refusal, fullscreen, width, height] of [['throws', () => { throw new Error('no'); }, 640, 360],
                                                        ['gives no promise', () => undefined, 844, 390]]) {
      const page = await open('', (p) => Promise.all([p.evaluateOnNewDocument(`Element.prototype.requestFullscreen = ${fullscreen}`),
        p.emulate({viewport: {width, height, isMobile: true, hasTouch: true, isLandscape: true}, userAgent: 'Android Mobile'})]));
      if (await page.$eval('#start', (b) => b.getBoundingClientRect().bottom) > height) fail(`"Click to play" is below the ${width}x${height} screen`);
      await page.tap('#start');
      await frames(page, 3);
      const [x, y, w, h, aspect] = await page.$eval('canvas', (c) => [...Object.values(c.getBoundingClientRect().toJSON()).slice(0, 4), c.width / c.height]);
      const fitted = x >= 0 && y >= 0 && x + w <= width + 0.5 && y + h <= height + 0.5 && Math.abs(w / h - aspect) < 0.01 &&
        Math.max(w / width, h / height) > 0.99;
      if (!fitted || !await drawn(page)) fail(`where full screen ${refusal}, ${await drawn(page)} frames drawn, the canvas ${w}x${h} at ${x},${y} (aspect ${aspect.toFixed(2)})`);
      if (page.problems.length) fail(`where full screen ${refusal}: ${page.problems.join(' | ')}`);
    }
  },
  // A new build waiting at the end of a run: "Click to play" with a width
  // of 640 typed takes it over and starts its run, 640 wide.
  'a new build waiting takes over at Click to play, with the typed width': async () => {
    let page = await open();
    // A visit the offline copy answers, as a new build finds it.
    if (!await page.evaluate(async () => (await navigator.serviceWorker.ready, !!navigator.serviceWorker.controller))) page = await open();
    await page.click('#start');
    await playOut(page);
    altered['sw.js'] = (d) => Buffer.from(String(d).replace("cacheName = 'vale-", "cacheName = 'vale-next-"));  // served from now on
    await page.evaluate(async () => (await navigator.serviceWorker.getRegistration()).update());
    await page.waitForFunction(async () => (await navigator.serviceWorker.getRegistration()).waiting, {timeout: 30000});
    await typed(page, 640);
    await Promise.all([page.waitForNavigation(), page.click('#start')]);
    // Its run, 640 wide, the old build's cache gone.
    await page.waitForFunction(async () => window.ValePage?.frames > 0 && document.getElementById('canvas').width === 640 &&
      /^vale-next-[^,]*$/.test((await caches.keys()).join()), {timeout: 30000}).catch(async () => fail(`no run 640 wide on the new build: ${
      await page.evaluate(async () => `${document.getElementById('canvas').width} wide, ${window.ValePage?.frames} frames, caches ${await caches.keys()}`)}`));
  },
});
