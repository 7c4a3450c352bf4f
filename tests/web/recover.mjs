// The page tried as a careless person and a hostile browser would: each
// check on a page of its own, named for what the person sees.
import {ended, fail, frames, mouse, shown, sleep} from './driver.mjs';

const said = async (page, selector, pattern) => pattern.test(await shown(page, selector)) || fail(`"${await shown(page, selector)}"`);
const typed = async (page, width) => (await page.click('#resolution_width', {count: 3}), page.keyboard.type(String(width)));

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
  // A phone held sideways, 640x360, whose full screen gives no promise:
  // "Click to play" in view, and the canvas fitted to the screen.
  'a small phone shows Click to play and a fitted canvas': async () => {
    const page = await open('', (p) => Promise.all([p.evaluateOnNewDocument(() => { Element.prototype.requestFullscreen = () => undefined; }),
      p.emulate({viewport: {width: 640, height: 360, isMobile: true, hasTouch: true, isLandscape: true}, userAgent: 'Android Mobile'})]));
    if (await page.$eval('#start', (b) => b.getBoundingClientRect().bottom) > 360) fail('"Click to play" is below the screen');
    await page.tap('#start');
    await frames(page, 3);
    if (!/"y":0,.*"height":360,/.test(await page.$eval('canvas', (c) => JSON.stringify(c.getBoundingClientRect())))) fail('the canvas is not fitted');
  },
});
