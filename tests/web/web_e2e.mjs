// End to end test of the web build in headless Chromium: the page's start by click and by Enter,
// its frames against the native offscreen renderer after the same key steps, a drive with real
// key events, blur, a lost and restored context, Escape with the keyboard locked in full screen,
// the page filling screens of several shapes and pixel densities at their device pixels, the pace,
// the new frames and the latency at several frame rates on the page's own clock, touch and a
// phone turned, a gamepad, a reload with no network, and a browser without WebGL. Pages that
// compare 1024x768 frames ask for that drawing buffer ("?size=1024x768").
//   node web_e2e.mjs SITE_DIR FRAME_TOOL GFX_DIR OUT_DIR
// With VORTALUX_BROWSER=firefox it runs a short session in Firefox instead: the start, the page
// covered at its device pixels and its frames against the native ones.
// Prints one ok/FAIL line per check and "N passed, N failed"; exits 1 on a failure and 77 when
// the browser (or, for Firefox, Xvfb) is missing.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { chromiumPath, firefoxPath, launch, launchFirefox, serve, until } from './harness.mjs';
import { countDifferentPixels, readPng } from './pixels.mjs';

const [siteDir, frameTool, gfxDir, outDir] = process.argv.slice(2);
if (!outDir) {
  console.error('usage: node web_e2e.mjs SITE_DIR FRAME_TOOL GFX_DIR OUT_DIR');
  process.exit(2);
}
const inFirefox = process.env.VORTALUX_BROWSER === 'firefox';
const needed = inFirefox ? [[firefoxPath, 'firefox-esr'], ['/usr/bin/Xvfb', 'xvfb']]
  : [[chromiumPath, 'chromium']];
const missing = needed.find(([file]) => !fs.existsSync(file));
if (missing) {
  console.log(`SKIP - ${missing[0]} is not installed (Debian: ${missing[1]})`);
  process.exit(77);
}
fs.mkdirSync(outDir, { recursive: true });

// SwiftShader and Mesa's llvmpipe round interpolated colours, texture coordinates and depth
// differently, and pixel centres on a triangle's edge may fall to either side: a pixel counts as
// different past 24 of 255 in a channel, and at most 0.5% of the frame (3,932 pixels of 1024x768)
// may be.
const kChannelTolerance = 24;
const kPixelShare = 0.005;
const kSteerLimitPasses = 60; // 60 passes of 1.5 degrees take the heading from 180 to its limit
const kStepMs = 1000 / 60;
// The frames of the pace checks, each read back whole: small, so that SwiftShader draws them fast.
const kPaceSize = [320, 240];

// The journal "none*2 up*37 up+left*4" as [{ keys: ['up', 'left'], count: 4 }, ...].
function parseSteps(steps) {
  return steps
    .trim()
    .split(/\s+/)
    .filter(Boolean)
    .map((group) => {
      const [keys, count = '1'] = group.split('*');
      return { keys: keys === 'none' ? [] : keys.split('+'), count: Number(count) };
    });
}

const passesHolding = (steps, key) =>
  parseSteps(steps).reduce((sum, group) => sum + (group.keys.includes(key) ? group.count : 0), 0);
const idlePassesAtEnd = (steps) => {
  const last = parseSteps(steps).at(-1);
  return last && last.keys.length === 0 ? last.count : 0;
};
const stepCount = (steps) => parseSteps(steps).reduce((sum, group) => sum + group.count, 0);
// The steps of the journal's last group when it holds exactly `keys` ('up+left', 'none'), else 0.
const stepsAtEndHolding = (steps, keys) => {
  const last = parseSteps(steps ?? '').at(-1);
  return last && (last.keys.join('+') || 'none') === keys ? last.count : 0;
};

let passed = 0;
let failed = 0;
async function check(name, body) {
  try {
    await body();
    console.log(`ok - ${name}`);
    ++passed;
  } catch (error) {
    console.log(`FAIL - ${name}: ${error.message}`);
    ++failed;
  }
}
function expect(condition, message) {
  if (!condition) throw new Error(message);
}

// The page's WebGL 2 context as __gl, its lose-context extension, and __drew: set by every clear,
// which every drawn frame begins with.
function watchContext() {
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (...args) {
    const context = getContext.apply(this, args);
    if (context && args[0] === 'webgl2' && context !== window.__gl) {
      window.__gl = context;
      window.__loseContext = context.getExtension('WEBGL_lose_context');
      const clear = context.clear;
      context.clear = function (mask) {
        window.__drew = true;
        return clear.call(this, mask);
      };
    }
    return context;
  };
}

// The page keeps its journal of steps (window.vortalux.steps) only when the address asks.
const recording = (url) => `${url}${url.includes('?') ? '&' : '?'}record`;

// A fresh load of the page, recording console errors, page errors, full-screen requests, calls
// of the Keyboard Lock API (a stand-in that only records), the page's lose-context extension, and
// whether each arrow's keydown had its default action (scrolling) prevented. prepare(page) runs
// before the load.
async function openPage(browser, url, prepare = async () => {}) {
  const page = await browser.newPage();
  await prepare(page);
  const errors = [];
  // Chromium asks every site for /favicon.ico by itself; the page does not link one.
  page.on('console', (message) => {
    const source = message.location()?.url ?? '';
    if (message.type() === 'error' && !source.endsWith('/favicon.ico')) errors.push(message.text());
  });
  page.on('pageerror', (error) => errors.push(error.message));
  await page.evaluateOnNewDocument(() => {
    window.__fullscreenRequests = 0;
    for (const name of ['requestFullscreen', 'webkitRequestFullscreen']) {
      const original = Element.prototype[name];
      if (!original) continue;
      Element.prototype[name] = function (...args) {
        ++window.__fullscreenRequests;
        return original.apply(this, args);
      };
    }
    window.__arrowEvents = [];
    addEventListener('keydown', (e) => e.key.startsWith('Arrow') && __arrowEvents.push(e), true);
    window.__keyboardLock = [];
    const keyboard = {
      lock: async (keys) => __keyboardLock.push(`lock ${keys} ${!!document.fullscreenElement}`),
      unlock: () => __keyboardLock.push(`unlock ${!!document.fullscreenElement}`),
    };
    Object.defineProperty(Navigator.prototype, 'keyboard', { get: () => keyboard });
  });
  await page.evaluateOnNewDocument(watchContext);
  await page.goto(recording(url), { waitUntil: 'load', timeout: 30000 });
  await until(page, (v) => v.state, 30000, 'window.vortalux.state');
  return { page, errors };
}

const state = (page) => until(page, () => true, 0, 'window.vortalux');

async function expectPassesRise(page) {
  const { passes } = await state(page);
  await until(page, (v) => v.passes >= passes + 3, 15000, 'three more passes');
}

async function startedWith(page, start) {
  await start();
  await until(page, (v) => v.state === 'running', 15000, 'state "running"');
  await expectPassesRise(page);
  const requests = await page.evaluate(() => window.__fullscreenRequests);
  expect(requests > 0, 'the page did not ask for full screen');
}

// What ?play drives: a climb, a turn, and on.
const kPlayed = 'up*120 left*20 up*40';

// The journal without its last group when that holds no arrow: idle steps do not move the picture.
const moves = (steps) => steps.replace(/(^| )none\*\d+$/, '');

// The picture the page shows and the journal that led to it. The drawing buffer is not kept
// once presented, so the picture is read as the browser composites it: a screenshot of the page
// at device pixels, the touch controls and the hint hidden, which is the drawing buffer itself
// when the canvas covers the page with one buffer pixel per device pixel (checked first). No
// step may move the picture between the journal's reading and the screenshot.
async function capture(page, file) {
  const seen = await page.evaluate(() => {
    for (const id of ['touch', 'turn']) document.getElementById(id).style.visibility = 'hidden';
    const box = document.getElementById('canvas').getBoundingClientRect();
    return { steps: window.vortalux.steps, box: [box.x, box.y, box.width, box.height],
      page: [innerWidth, innerHeight], ratio: devicePixelRatio,
      buffer: [__gl.drawingBufferWidth, __gl.drawingBufferHeight] };
  });
  const covers = [0, 0, ...seen.page].join();
  expect(seen.box.join() === covers, `the canvas is at ${seen.box}, the page is ${seen.page}`);
  const devicePixels = seen.page.map((side) => Math.round(side * seen.ratio));
  expect(seen.buffer.join() === devicePixels.join(), `the drawing buffer is ${seen.buffer
    .join('x')}, the page ${devicePixels.join('x')} device pixels`);
  await page.screenshot({ path: file, ...(inFirefox ? {} : { optimizeForSpeed: true }) });
  const after = await page.evaluate(() => {
    for (const id of ['touch', 'turn']) document.getElementById(id).style.visibility = '';
    return window.vortalux.steps;
  });
  expect(moves(after) === moves(seen.steps), `the picture moved from "${seen.steps}" to "${after
    }" while it was taken`);
  return { steps: seen.steps, size: seen.buffer.join('x') };
}

// Renders the journal's steps natively at the page's drawing buffer size and compares the two
// frames within the tolerance.
async function expectNativeMatch(page, name, pictures = gfxDir) {
  const web = path.join(outDir, `${name}-web.png`);
  const native = path.join(outDir, `${name}-native.png`);
  const { steps, size } = await capture(page, web);
  execFileSync(frameTool,
    ['--steps', steps, '--size', size, '--out', native, '--gfx-dir', pictures],
    { timeout: 120000, stdio: ['ignore', 'ignore', 'inherit'] });
  const diff = path.join(outDir, `${name}-diff.png`);
  const { count, worst, total } = countDifferentPixels(web, native, kChannelTolerance, diff);
  const allowed = Math.floor(total * kPixelShare);
  console.log(`# ${name} (${size}): ${count} of ${total} pixels differ by more than ${
    kChannelTolerance}, at most by ${worst}`);
  expect(
    count <= allowed,
    `${count} pixels differ by more than ${kChannelTolerance} (allowed ${allowed}, worst ` +
      `${worst}) from vortalux-frame --steps "${steps}"; see ${diff}`,
  );
  return steps;
}

// Holds key until the journal shows at least `passes` more passes holding it, then lets go.
async function hold(page, key, name, passes) {
  const before = passesHolding((await state(page)).steps, name);
  await page.keyboard.down(key);
  try {
    await until(page, (v) => passesHolding(v.steps, name) >= before + passes, 120000,
      `${passes} passes holding ${key}`);
  } finally {
    await page.keyboard.up(key);
  }
}

async function settle(page) {
  await until(page, (v) => idlePassesAtEnd(v.steps) >= 2, 15000, 'two idle passes');
}

async function clickSession(browser, site) {
  const { page, errors } = await openPage(browser, `${site.url}?size=1024x768`);
  try {
    await check('it loads waiting, with the controls line', async () => {
      const { state: now } = await state(page);
      expect(now === 'waiting', `state is "${now}"`);
      const { text, title } = await page.evaluate(() => ({
        text: document.body.innerText,
        title: document.title,
      }));
      expect(title === 'Vortalux', `title is "${title}"`);
      expect(/arrow/i.test(text) && /esc/i.test(text), `no controls line in "${text}"`);
      expect(/click/i.test(text), `the page does not say how to start: "${text}"`);
    });
    await check('a click starts it: running, passes rise, full screen asked for', () =>
      startedWith(page, () => page.mouse.click(512, 384)));
    await check('the start frame matches the native render', async () => {
      await settle(page);
      const steps = await expectNativeMatch(page, 'start');
      expect(/^none\*\d+$/.test(steps), `idle passes journalled as "${steps}"`);
    });
    await check('a drive to the left heading limit and on matches the native render', async () => {
      await hold(page, 'ArrowUp', 'up', 150);
      await hold(page, 'ArrowLeft', 'left', kSteerLimitPasses + 5);
      await hold(page, 'ArrowUp', 'up', 60);
      await settle(page);
      const steps = await expectNativeMatch(page, 'drive');
      expect(passesHolding(steps, 'right') === 0, `right was journalled: "${steps}"`);
      expect(passesHolding(steps, 'left') >= kSteerLimitPasses, `short of the limit: "${steps}"`);
    });
    await check('blur releases a held arrow: no up passes follow, the frame holds', async () => {
      await page.keyboard.down('ArrowUp');
      try {
        const { steps } = await state(page);
        const ups = passesHolding(steps, 'up');
        await until(page, (v) => passesHolding(v.steps, 'up') >= ups + 3, 15000, 'up passes');
        const atBlur = await page.evaluate(() => {
          window.dispatchEvent(new Event('blur'));
          return window.vortalux.steps;
        });
        await settle(page);
        const { steps: first } = await capture(page, path.join(outDir, 'blur-1.png'));
        await expectPassesRise(page);
        const { steps: second } = await capture(page, path.join(outDir, 'blur-2.png'));
        expect(passesHolding(second, 'up') === passesHolding(atBlur, 'up'),
          `up passes after the blur: "${second}"`);
        const { count } = countDifferentPixels(path.join(outDir, 'blur-1.png'),
          path.join(outDir, 'blur-2.png'), 0, path.join(outDir, 'blur-diff.png'));
        expect(count === 0, `${count} pixels changed between ${first} and ${second}`);
      } finally {
        await page.keyboard.up('ArrowUp');
      }
    });
    await check('no arrow key scrolls the page', async () => {
      const { events, prevented, scrollY } = await page.evaluate(() => ({
        events: __arrowEvents.filter((e) => e.type === 'keydown').length,
        prevented: __arrowEvents.every((e) => e.defaultPrevented),
        scrollY: window.scrollY,
      }));
      expect(events > 0, 'no arrow keydown was seen');
      expect(prevented, 'an arrow keydown kept its default action');
      expect(scrollY === 0, `scrolled to ${scrollY}`);
    });
    await check('a lost context pauses it and says so; restored, the same frame', async () => {
      await settle(page);
      const before = path.join(outDir, 'lost-before.png');
      await capture(page, before);
      await page.evaluate(() => window.__loseContext.loseContext());
      await until(page, (v) => v.state === 'lost', 15000, 'state "lost"');
      const { passes } = await state(page);
      const text = await page.evaluate(() => document.body.innerText);
      expect(/picture was lost/i.test(text), `the page says "${text}"`);
      await new Promise((resolve) => setTimeout(resolve, 500));
      const lost = await state(page);
      expect(lost.passes === passes, `passes went on while lost, ${passes} to ${lost.passes}`);
      await page.evaluate(() => window.__loseContext.restoreContext());
      await until(page, (v) => v.state === 'running', 15000, 'state "running" again');
      await expectPassesRise(page);
      const after = path.join(outDir, 'lost-after.png');
      await capture(page, after);
      const { count, worst, total } = countDifferentPixels(before, after,
        kChannelTolerance, path.join(outDir, 'lost-diff.png'));
      console.log(`# restored: ${count} of ${total} pixels differ by more than ` +
        `${kChannelTolerance} from the frame before the loss, at most by ${worst}`);
      expect(count <= Math.floor(total * kPixelShare), `${count} pixels differ after the restore`);
    });
    await check('a tap of Escape ends it: passes stop, the page says so, the context is gone',
      async () => {
        await page.keyboard.press('Escape');
        await until(page, (v) => v.state === 'ended', 15000, 'state "ended"');
        const text = await expectStopped(page, 'ended');
        expect(/ended/i.test(text) && /reload/i.test(text), `the page says "${text}"`);
      });
    await check('Escape is locked for the page in full screen, and let go after', async () => {
      const calls = await page.evaluate(() => window.__keyboardLock);
      expect(calls.join(' | ') === 'lock Escape true | unlock false',
        `Keyboard Lock calls: ${JSON.stringify(calls)}`);
    });
    await check('no console or page error in a whole session', () =>
      expect(errors.length === 0, errors.join(' | ')));
  } finally {
    await page.close();
  }
}

// A page whose demo has stopped: no pass in ten more animation frames (a running loop passes in
// each), its canvas's context gone, and on screen the message on black, not the lost canvas that
// browsers paint as a broken picture on white. Returns the page's text.
async function expectStopped(page, name) {
  const { passes } = await state(page);
  await page.evaluate(() => new Promise((resolve) => {
    let frames = 0;
    const next = () => (++frames === 10 ? resolve() : requestAnimationFrame(next));
    requestAnimationFrame(next);
  }));
  const after = await state(page);
  expect(after.passes === passes, `passes went on from ${passes} to ${after.passes}`);
  const { text, lost } = await page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const context = canvas.getContext('webgl2') ?? canvas.getContext('webgl');
    return { text: document.body.innerText, lost: !context || context.isContextLost() };
  });
  expect(lost, 'the canvas still holds a live WebGL context');
  const file = path.join(outDir, `${name}.png`);
  await page.screenshot({ path: file });
  const { data, channels } = readPng(file);
  let white = 0;
  for (let i = 0; i < data.length; i += channels) {
    white += data[i] > 240 && data[i + 1] > 240 && data[i + 2] > 240;
  }
  expect(white === 0, `${white} white pixels on the stopped page; see ${file}`);
  return text;
}

// The driver refuses the fragment shader of every textured program: an #error line goes into its
// source on its way to the driver, whose compile then fails with its own log.
function refuseTexturedFragments() {
  const shaderSource = WebGL2RenderingContext.prototype.shaderSource;
  WebGL2RenderingContext.prototype.shaderSource = function (shader, source) {
    const refused = source.includes('#define TEXTURING') && source.includes('fragColor');
    return shaderSource.call(this, shader, refused
      ? source.replace('\nprecision', '\n#error refused by the test\nprecision') : source);
  };
}

async function shaderFailureSession(browser, site) {
  await check('a shader the driver refuses: no pass runs, the context is released, the page and ' +
    'the console name the shader and the log', async () => {
    const { page, errors } = await openPage(browser, `${site.url}?size=1024x768`,
      (opened) => opened.evaluateOnNewDocument(refuseTexturedFragments));
    try {
      await page.mouse.click(512, 384);
      await until(page, (v) => v.state === 'gl-error', 15000, 'state "gl-error"');
      const text = await expectStopped(page, 'gl-error');
      const { passes } = await state(page);
      expect(passes === 0, `${passes} passes counted while it drew nothing`);
      for (const said of [text, errors.join(' | ')]) {
        expect(/fragment shader of program \d+ \([A-Z_ ]*TEXTURING/.test(said) &&
          said.includes('refused by the test'), `no shader or log named in "${said}"`);
      }
    } finally {
      await page.close();
    }
  });
}

async function enterSession(browser, site) {
  const { page, errors } = await openPage(browser, site.url);
  try {
    await check('Enter starts it: running, passes rise, full screen asked, no error', async () => {
      await startedWith(page, () => page.keyboard.press('Enter'));
      expect(errors.length === 0, errors.join(' | '));
    });
  } finally {
    await page.close();
  }
}

async function noWebglSession(site) {
  const chromium = await launch(['--disable-webgl', '--disable-3d-apis']);
  try {
    const { page } = await openPage(chromium.browser, site.url);
    await check('without WebGL the page says so: state "no-webgl"', async () => {
      if ((await state(page)).state === 'waiting') await page.mouse.click(512, 384);
      await until(page, (v) => v.state === 'no-webgl', 15000, 'state "no-webgl"');
      const text = await page.evaluate(() => document.body.innerText);
      expect(/webgl/i.test(text), `the page says "${text}"`);
    });
  } finally {
    await chromium.close();
  }
}

// The site again, with the "BM" mark of every picture packed in vortalux.data wiped (the package
// keeps each file's offsets in vortalux.js).
function breakPictures() {
  const site = path.join(outDir, 'broken-site');
  fs.rmSync(site, { recursive: true, force: true });
  fs.mkdirSync(site, { recursive: true });
  for (const name of fs.readdirSync(siteDir).filter((n) => /\.(html|js|wasm|data|css)$/.test(n))) {
    fs.copyFileSync(path.join(siteDir, name), path.join(site, name));
  }
  const data = fs.readFileSync(path.join(site, 'vortalux.data'));
  const js = fs.readFileSync(path.join(site, 'vortalux.js'), 'utf8');
  const packed = [...js.matchAll(/"filename":\s*"\/gfx\/[^"]+",\s*"start":\s*(\d+)/g)];
  expect(packed.length === 4, `vortalux.js lists ${packed.length} packed pictures, not 4`);
  for (const [, start] of packed) data.fill(0, Number(start), Number(start) + 2);
  fs.writeFileSync(path.join(site, 'vortalux.data'), data);
  return site;
}

// The native frame tool refuses to draw without its pictures, so the untextured frame is judged
// against the textured start: far from it, while the loop runs on.
async function brokenPicturesSession(browser) {
  await check('broken pictures: it runs on, untextured, with no page error, and names them',
    async () => {
    const server = await serve(breakPictures());
    try {
      const page = await browser.newPage();
      const errors = [];
      const said = [];
      page.on('pageerror', (error) => errors.push(error.message));
      page.on('console', (message) => message.type() === 'error' && said.push(message.text()));
      await page.evaluateOnNewDocument(watchContext);
      try {
        await page.goto(recording(`${server.url}?size=1024x768`),
          { waitUntil: 'load', timeout: 30000 });
        await until(page, (v) => v.state === 'waiting', 30000, 'state "waiting"');
        await page.mouse.click(512, 384);
        await until(page, (v) => v.state === 'running', 15000, 'state "running"');
        await settle(page);
        const web = path.join(outDir, 'broken-pictures-web.png');
        await capture(page, web);
        await expectPassesRise(page);
        const { count, total } = countDifferentPixels(web,
          path.join(outDir, 'start-native.png'), kChannelTolerance,
          path.join(outDir, 'broken-pictures-diff.png'));
        expect(count > total / 4, `only ${count} pixels differ from the textured start`);
        expect(errors.length === 0, errors.join(' | '));
        const note = await page.$eval('#note', (element) => element.textContent);
        for (const name of ['Track', 'StartEnd', 'Flare', 'Sky']) {
          expect(note.includes(`gfx/${name}.bmp`), `the note does not name ${name}: "${note}"`);
          expect(said.some((text) => text.includes(`gfx/${name}.bmp`)),
            `the console does not name ${name}`);
        }
      } finally {
        await page.close();
      }
    } finally {
      server.close();
    }
  });
  await check('no pictures\' package: the page says it could not load, not "Loading" for ever',
    async () => {
      const site = breakPictures();
      fs.rmSync(path.join(site, 'vortalux.data'));
      const server = await serve(site);
      const page = await browser.newPage();
      try {
        await page.goto(server.url, { waitUntil: 'load', timeout: 30000 });
        await until(page, (v) => v.state === 'error', 30000, 'state "error"');
        const text = await page.evaluate(() => document.body.innerText);
        expect(/could not be loaded/i.test(text), `the page says "${text}"`);
      } finally {
        await page.close();
        server.close();
      }
    });
}

// A check on a page of its own: prepare(page) before the load, then body(page); no console or
// page error may come of it.
async function pageCheck(browser, name, url, prepare, body) {
  await check(name, async () => {
    const { page, errors } = await openPage(browser, url, prepare);
    try {
      await body(page);
      expect(errors.length === 0, errors.join(' | '));
    } finally {
      await page.close();
    }
  });
}

// The page's clock and animation frames in the test's hands: __frames(n, ms) runs n frames, each
// ms after the one before, and returns the journal and how many of the frames showed a new
// picture. A frame that drew is read back whole within the frame (the buffer is not kept once
// presented) and compared with the picture drawn before; a frame that drew nothing leaves the
// last picture on the screen.
const installClock = (page) =>
  page.evaluateOnNewDocument(() => {
    let now = 0;
    let queue = [];
    let shown = new Uint8Array(0);
    let drawn = new Uint8Array(0);
    performance.now = () => now;
    window.requestAnimationFrame = (callback) => queue.push(callback);
    window.cancelAnimationFrame = () => {};
    const newPicture = () => {
      if (!window.__drew) return false;
      window.__drew = false;
      const gl = window.__gl;
      const size = gl.drawingBufferWidth * gl.drawingBufferHeight * 4;
      if (drawn.length !== size) drawn = new Uint8Array(size);
      gl.readPixels(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight, gl.RGBA,
        gl.UNSIGNED_BYTE, drawn);
      [shown, drawn] = [drawn, shown];
      if (shown.length !== drawn.length) return true;
      const [now32, before32] = [new Uint32Array(shown.buffer), new Uint32Array(drawn.buffer)];
      for (let i = 0; i < now32.length; ++i) if (now32[i] !== before32[i]) return true;
      return false;
    };
    window.__frames = (count, ms) => {
      window.__drew = false; // a picture drawn between the test's frames is not read
      let fresh = 0;
      for (let i = 0; i < count; ++i) {
        now += ms;
        const due = queue;
        queue = [];
        for (const callback of due) callback(now);
        fresh += newPicture();
      }
      return { steps: window.vortalux.steps, fresh };
    };
  });
const frames = (page, count, ms) => page.evaluate((n, t) => window.__frames(n, t), count, ms);

// Starts the page on the test's clock; the clock then stands at a step's end.
async function startOnClock(page) {
  await page.mouse.click(100, 100);
  await until(page, (v) => v.state === 'running', 15000, 'state "running"');
  return (await frames(page, 2, kStepMs)).steps;
}

// Up tapped a quarter, half, three quarters and a whole step after a step's end at 240 Hz: the
// frame after the press is new, and the tap's step is whole within a step's time of the press (no
// later frame is new). Prints when each tap showed and when its step was whole.
async function expectTapLatency(page) {
  const ms = 1000 / 240;
  const shown = [];
  for (let quarters = 1; quarters <= 4; ++quarters) {
    const before = passesHolding((await frames(page, quarters, ms)).steps, 'up');
    await page.keyboard.down('ArrowUp');
    const fresh = [(await frames(page, 1, ms)).fresh];
    await page.keyboard.up('ArrowUp');
    for (let i = 1; i < 8; ++i) fresh.push((await frames(page, 1, ms)).fresh);
    const { steps } = await frames(page, 4 - quarters, ms); // a step's end again
    const whole = (fresh.lastIndexOf(1) + 1) * ms;
    const at = `tapped ${quarters}/4 into a step`;
    shown.push(`${at}: new after ${(fresh.indexOf(1) + 1) * ms} ms, whole after ${whole} ms`);
    expect(passesHolding(steps, 'up') === before + 1, `${at}: not one step of up in "${steps}"`);
    expect(fresh[0] === 1, `${at}: the frame after the press shows nothing new`);
    expect(whole <= kStepMs + 1e-9, `${at}: frames still new ${whole} ms after the press`);
  }
  console.log(`# latency at 240 Hz: ${shown.join('; ')}`.replace(/\d+\.\d+/g,
    (ms) => Number(ms).toFixed(1)));
}

// A page of its own on the test's clock: the latency of a tap, then up held for 2 s at several
// frame rates, each frame read back, and the end frame against the native one.
async function paceSession(browser, site) {
  const { page, errors } = await openPage(browser, `${site.url}?size=${kPaceSize.join('x')}`,
    async (paced) => {
      await paced.setViewport({ width: kPaceSize[0], height: kPaceSize[1] });
      await installClock(paced);
    });
  try {
    await startOnClock(page);
    await check('a tap of up shows at the next frame at 240 Hz, its step whole within a step',
      () => expectTapLatency(page));
    let { steps } = await state(page);
    await check('up held 2 s at 30, 60, 144 and 240 Hz: 120 steps, 95% of frames new; a stall ' +
      'takes 4; the frame matches', async () => {
      await page.keyboard.down('ArrowUp');
      const taken = [];
      const fresh = [];
      for (const [hz, count] of [[30, 60], [60, 120], [144, 288], [240, 480], [1, 1]]) {
        const before = passesHolding(steps, 'up');
        const run = await frames(page, count, 1000 / hz);
        steps = run.steps;
        taken.push(`${hz} Hz: ${passesHolding(steps, 'up') - before}`);
        if (count > 1) fresh.push({ hz, count, fresh: run.fresh });
      }
      await page.keyboard.up('ArrowUp');
      await frames(page, 2, kStepMs);
      console.log(`# steps of up: ${taken.join(', ')} (1 Hz: a stall of 1 s)`);
      console.log(`# new frames: ${fresh.map(({ hz, count, fresh: n }) =>
        `${hz} Hz ${n} of ${count}`).join(', ')}`);
      expect(taken.join(', ') === '30 Hz: 120, 60 Hz: 120, 144 Hz: 120, 240 Hz: 120, 1 Hz: 4',
        `steps of up: ${taken.join(', ')}`);
      for (const { hz, count, fresh: n } of fresh) {
        expect(n >= 0.95 * count, `${hz} Hz: ${n} of ${count} frames new`);
      }
      await expectNativeMatch(page, 'pace');
    });
    await check('no console or page error on the clock', () =>
      expect(errors.length === 0, errors.join(' | ')));
  } finally {
    await page.close();
  }
  await pageCheck(browser, '?play drives the steps it is given at 60 a second and ends on the ' +
    'native picture', `${site.url}?size=1024x768&play=${encodeURIComponent(kPlayed)}`,
  async () => {}, async (page) => {
    await startedWith(page, () => page.mouse.click(512, 384));
    await until(page, (v) => v.steps.startsWith(kPlayed) && idlePassesAtEnd(v.steps) >= 2, 30000,
      'the drive played');
    await expectNativeMatch(page, 'play');
  });
  await pageCheck(browser, '?timedemo: a short drive, every frame read back, then its figures',
    `${site.url}?timedemo&frames=120`, async () => {}, async (page) => {
      await until(page, (v) => v.state === 'timedemo', 60000, 'state "timedemo"');
      const { figures, text } = await page.evaluate(() => ({ figures: window.vortalux.timedemo,
        text: document.querySelector('#message .timedemo').innerText }));
      expect(figures.frames === 120 && figures.fps > 0 && figures.maxMs >= figures.p99Ms &&
        figures.p99Ms >= figures.medianMs && ['display', 'uncapped'].includes(figures.measured),
      `figures ${JSON.stringify(figures)}`);
      expect(text.startsWith('timedemo: 120 frames in '), `the page says "${text}"`);
    });
  await pageCheck(browser, 'an address it cannot follow is refused on the page by name',
    `${site.url}?pace=fast`, async () => {}, async (page) => {
      for (const [query, named] of [['pace=fast', "pace 'fast'"],
        ['timedemo&frames=3000000000', "frames '3000000000'"], ['size=0x768', "size '0x768'"],
        ['play=upp*3', "'upp*3'"]]) {
        if (query !== 'pace=fast') await page.goto(`${site.url}?${query}`, { waitUntil: 'load' });
        await until(page, (v) => v.state === 'bad-query', 15000, `state "bad-query" for ${query}`);
        const text = await page.$eval('#message .bad-query', (element) => element.innerText);
        expect(text.includes(named), `?${query}: the page says "${text}"`);
      }
    });
  await pageCheck(browser, '?pace=frame takes one step a frame at 144 Hz', `${site.url}?pace=frame`,
    installClock, async (page) => {
      const before = stepCount(await startOnClock(page));
      const after = stepCount((await frames(page, 10, 1000 / 144)).steps);
      expect(after - before === 10, `10 frames took ${after - before} steps`);
    });
}

// The screens people have: a 2560x1080 monitor at 1 device pixel per CSS pixel, a 1280x800
// laptop at 2, and a phone held landscape, 844x390 at 3 (in a browser of its own, whose screen has
// that density), then turned upright. The canvas covers the page, its drawing buffer has the
// page's device pixels, and the picture is the native one at that size (capture). Chromium's
// emulated pixel density does not reach the ResizeObserver's device-pixel box, so the laptop's
// page goes without that box, as browsers that lack it do: CSS size times devicePixelRatio.
async function screensSession(browser, site) {
  for (const [width, height, scale] of [[2560, 1080, 1], [1280, 800, 2]]) {
    await pageCheck(browser, `a ${width}x${height} page at ${scale} device pixel${
      scale > 1 ? 's' : ''} per CSS pixel: covered at its device pixels, the picture matches`,
    site.url, async (page) => {
      await page.setViewport({ width, height, deviceScaleFactor: scale });
      if (scale === 1) return;
      await page.evaluateOnNewDocument(() =>
        delete ResizeObserverEntry.prototype.devicePixelContentBoxSize);
    }, async (page) => {
      await page.mouse.click(width / 2, height / 2);
      await until(page, (v) => v.state === 'running', 15000, 'state "running"');
      await settle(page);
      await expectNativeMatch(page, `screen-${width}x${height}`);
    });
  }
  await pageCheck(browser, '?size past what the context can draw: scaled down, its aspect kept; ' +
    'it runs', `${site.url}?size=65536x2048`, async () => {}, async (page) => {
    await startedWith(page, () => page.mouse.click(512, 384));
    const { size, most } = await page.evaluate(() => ({
      size: [document.getElementById('canvas').width, document.getElementById('canvas').height],
      most: Math.min(...__gl.getParameter(__gl.MAX_VIEWPORT_DIMS),
        __gl.getParameter(__gl.MAX_RENDERBUFFER_SIZE)),
    }));
    expect(size[0] === most && Math.abs(size[1] - most / 32) < 1,
      `the canvas is ${size.join('x')} for the context's ${most}`);
  });
  const phone = await launch(['--force-device-scale-factor=3']);
  try {
    const landscape = { width: 844, height: 390, deviceScaleFactor: 3, isMobile: true,
      hasTouch: true };
    await pageCheck(phone.browser, 'a phone at 3 device pixels per CSS pixel, landscape then ' +
      'upright: covered at its device pixels, the buffer follows, the pictures match', site.url,
    (page) => page.setViewport(landscape), async (page) => {
      await page.touchscreen.tap(422, 150);
      await until(page, (v) => v.state === 'running', 15000, 'state "running" after a tap');
      await settle(page);
      await expectNativeMatch(page, 'phone');
      await page.setViewport({ ...landscape, width: landscape.height, height: landscape.width });
      await page.waitForFunction(() => document.getElementById('canvas').width === 1170,
        { timeout: 15000 });
      const hint = await page.evaluate(() => document.body.innerText);
      expect(/turn the phone/i.test(hint), `upright, the page says "${hint}"`);
      await expectNativeMatch(page, 'phone-upright');
    });
  } finally {
    await phone.close();
  }
}

// A phone-sized touch page: CDP touch points, several at once, as a touch screen sends them.
async function touchSession(browser, site) {
  const phone = { width: 844, height: 390, isMobile: true, hasTouch: true };
  await pageCheck(browser,
    'touch: a tap starts it; forward and a turn at once, a slide, a lift; no scroll or zoom',
    site.url, (page) => page.setViewport(phone), async (page) => {
      const cdp = await page.createCDPSession();
      // Each event names the fingers it changes, as puppeteer's touch handles send them.
      const touch = (type, points) => cdp.send('Input.dispatchTouchEvent',
        { type, touchPoints: points.map(([[x, y], id]) => ({ x, y, id })) });
      await touch('touchStart', [[[422, 150], 0]]);
      await touch('touchEnd', []);
      await until(page, (v) => v.state === 'running', 15000, 'state "running" after a tap');
      const controls = await page.evaluate(() => Object.fromEntries(
        [...document.querySelectorAll('[data-key]')].map((element) => {
          const box = element.getBoundingClientRect();
          return [element.dataset.key, [box.x + box.width / 2, box.y + box.height / 2,
            Math.min(box.width, box.height)]];
        })));
      for (const key of ['up', 'left', 'right']) {
        expect(controls[key]?.[2] >= 44, `the ${key} control: ${JSON.stringify(controls[key])}`);
      }
      const at = (key) => controls[key].slice(0, 2);
      const held = (what, keys) =>
        until(page, (v) => stepsAtEndHolding(v.steps, keys) >= 3, 15000, `${keys} (${what})`);
      await touch('touchStart', [[at('up'), 1]]);
      await held('one finger on forward', 'up');
      await touch('touchStart', [[at('left'), 2]]);
      await held('a second finger on left', 'up+left');
      await touch('touchMove', [[at('right'), 2]]);
      await held('the second finger slid onto right', 'up+right');
      await touch('touchEnd', [[at('up'), 1]]);
      await held('the first finger lifted', 'right');
      await touch('touchEnd', [[at('right'), 2]]);
      await held('both lifted', 'none');
      const seen = await page.evaluate(() => ({
        scroll: [scrollX, scrollY, visualViewport.scale],
        touchAction: getComputedStyle(document.body).touchAction,
        selected: String(getSelection()),
      }));
      expect(seen.scroll.join() === '0,0,1', `scrolled or zoomed: ${seen.scroll}`);
      expect(seen.touchAction === 'none', `touch-action: ${seen.touchAction}`);
      expect(seen.selected === '', `text selected: "${seen.selected}"`);
    });
  await check('zoom: a pinch zooms the prompt and starts nothing; started zoomed in, full screen ' +
    'shows the whole picture and nothing zooms; ended, it zooms again; with no full screen, two ' +
    'fingers zoom the running page back out', async () => {
    for (const fullScreen of [true, false]) await zoomCheck(browser, site, phone, fullScreen);
  });
}

// Two fingers on the page's centre, from `from` to `to` px apart, as a touch screen sends them;
// then waits until the page's scale holds still, for at least `least` ms. Returns the scale and
// how long it took to settle.
async function pinch(page, cdp, from, to, least = 0) {
  const [x, y] = await page.evaluate(() => [innerWidth / 2, innerHeight / 2]);
  const fingers = (apart) => [{ x: x - apart / 2, y, id: 11 }, { x: x + apart / 2, y, id: 12 }];
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: fingers(from) });
  for (let i = 1; i <= 10; ++i) {
    await cdp.send('Input.dispatchTouchEvent',
      { type: 'touchMove', touchPoints: fingers(from + ((to - from) * i) / 10) });
  }
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  const start = Date.now();
  for (let last = null; ; await new Promise((resolve) => setTimeout(resolve, 100))) {
    const scale = await page.evaluate(() => visualViewport.scale);
    const ms = Date.now() - start;
    if (scale === last && ms >= least) return { scale, ms };
    expect(ms < 10000, `the page's scale did not settle in 10 s (${scale})`);
    last = scale;
  }
}

// A phone's page zoomed in on its prompt, then started by a tap. Chromium's full screen takes the
// page back to scale 1; without full screen the page runs magnified until two fingers zoom it out.
async function zoomCheck(browser, site, phone, fullScreen) {
  const { page, errors } = await openPage(browser, site.url, async (opened) => {
    await opened.setViewport(phone);
    if (!fullScreen) {
      await opened.evaluateOnNewDocument(() => {
        delete Element.prototype.requestFullscreen;
        delete Element.prototype.webkitRequestFullscreen;
      });
    }
  });
  const how = fullScreen ? 'in full screen' : 'without full screen';
  try {
    const cdp = await page.createCDPSession();
    const zoomed = await pinch(page, cdp, 100, 300);
    const waiting = await state(page);
    expect(zoomed.scale > 1.5 && waiting.state === 'waiting',
      `a pinch on the prompt: scale ${zoomed.scale}, state "${waiting.state}"`);
    // A tap near the corner of what shows, which is on the page at any scale.
    await page.touchscreen.tap(10, 10);
    await until(page, (v) => v.state === 'running', 15000, `state "running" ${how}`);
    if (fullScreen) {
      await page.waitForFunction(() => document.fullscreenElement && visualViewport.scale === 1,
        { timeout: 15000 });
    } else {
      await page.waitForFunction(() => document.body.classList.contains('zoomed'),
        { timeout: 15000 });
      const magnified = await page.evaluate(() => visualViewport.scale);
      expect(magnified > 1.5, `running without full screen at scale ${magnified}`);
      const out = await pinch(page, cdp, 300, 20);
      expect(out.scale === 1, `two fingers left the running page at scale ${out.scale}`);
      await page.waitForFunction(() => !document.body.classList.contains('zoomed'),
        { timeout: 15000 });
    }
    const seen = await page.evaluate(() => {
      const box = document.getElementById('canvas').getBoundingClientRect();
      return [box.x, box.y, box.width, box.height, visualViewport.width, visualViewport.height]
        .join();
    });
    expect(seen === '0,0,844,390,844,390', `${how}, canvas and view: ${seen}`);
    const still = await pinch(page, cdp, 100, 300, zoomed.ms);
    expect(still.scale === 1, `a pinch while it runs ${how} zoomed to ${still.scale}`);
    await page.keyboard.press('Escape');
    await until(page, (v) => v.state === 'ended', 15000, 'state "ended"');
    const again = await pinch(page, cdp, 100, 300);
    expect(again.scale > 1.5, `a pinch on the ended page: scale ${again.scale}`);
    expect(errors.length === 0, errors.join(' | '));
  } finally {
    await page.close();
  }
}

// One standard-mapping pad, seen through navigator.getGamepads, whose buttons the test sets.
function plugPad() {
  const buttons = Array.from({ length: 17 }, () => ({ pressed: false, value: 0 }));
  const pad = { id: 'test pad', index: 0, mapping: 'standard', connected: true, timestamp: 0,
    axes: [0, 0, 0, 0], buttons };
  window.__pad = { pad, plugged: true };
  window.__press = (button, on) => Object.assign(buttons[button], { pressed: on, value: +on });
  Object.defineProperty(Navigator.prototype, 'getGamepads',
    { value: () => [__pad.plugged ? pad : null], configurable: true });
}

async function gamepadSession(browser, site) {
  await pageCheck(browser,
    'a gamepad: Start starts it, A drives, the stick turns, unplugged lets go, Back ends',
    site.url, (page) => page.evaluateOnNewDocument(plugPad), async (page) => {
      const pad = (body) => page.evaluate(body);
      await pad(() => __press(9, true));
      await until(page, (v) => v.state === 'running', 15000, 'state "running" after Start');
      await pad(() => [__press(9, false), __press(0, true)]);
      await until(page, (v) => stepsAtEndHolding(v.steps, 'up') >= 3, 15000, 'up from A');
      await pad(() => (__pad.pad.axes[0] = -0.8));
      await until(page, (v) => stepsAtEndHolding(v.steps, 'up+left') >= 3, 15000, 'the stick');
      await pad(() => (__pad.plugged = false));
      await until(page, (v) => stepsAtEndHolding(v.steps, 'none') >= 3, 15000, 'unplugged');
      await pad(() => [__press(0, false), __press(8, true), (__pad.plugged = true)]);
      await until(page, (v) => v.state === 'ended', 15000, 'state "ended" after Back');
    });
}

// The site as the web zip (the newest in SITE_DIR) unpacks it, served on a port of its own.
async function serveZip() {
  const zips = fs.readdirSync(siteDir).filter((name) => /^Vortalux-.*-web\.zip$/.test(name))
    .map((name) => path.join(siteDir, name))
    .sort((a, b) => fs.statSync(b).mtimeMs - fs.statSync(a).mtimeMs);
  expect(zips.length > 0, `no web zip in ${siteDir}`);
  const unpacked = path.join(outDir, 'zip-site');
  fs.rmSync(unpacked, { recursive: true, force: true });
  execFileSync('python3', ['-m', 'zipfile', '-e', zips[0], unpacked], { timeout: 60000 });
  return serve(path.join(unpacked, path.basename(zips[0], '.zip')));
}

// The site from the web zip, once visited (its worker active), then reloaded with no network: the
// worker installs only when every file it lists is there, so this also finds one the zip lacks.
async function offlineSession(browser) {
  const site = await serveZip();
  try {
    await offlineCheck(browser, site);
  } finally {
    site.close();
  }
}

async function offlineCheck(browser, site) {
  await pageCheck(browser, 'the web zip, installable: manifest, icons; offline a reload draws',
    `${site.url}?size=1024x768`, async () => {}, async (page) => {
      const manifest = await page.evaluate(async () => {
        const link = document.querySelector('link[rel="manifest"]');
        const parsed = await (await fetch(link.href)).json();
        const icons = [];
        for (const icon of parsed.icons ?? []) {
          const picture = await (await fetch(new URL(icon.src, link.href))).blob();
          const { width, height } = await createImageBitmap(picture);
          icons.push(`${icon.sizes}:${width}x${height}`);
        }
        await Promise.race([navigator.serviceWorker.ready, new Promise((resolve, reject) =>
          setTimeout(() => reject(new Error('no service worker active after 15 s')), 15000))]);
        return { ...parsed, icons: icons.join(' ') };
      });
      const { name, short_name, display, orientation, icons } = manifest;
      const shown = `${name}/${short_name} ${display} ${orientation} ${icons}`;
      expect(shown === 'Vortalux/Vortalux fullscreen landscape 192x192:192x192 512x512:512x512',
        `the manifest: ${shown}`);
      expect(manifest.theme_color && manifest.background_color, 'no theme or background colour');
      await page.setOfflineMode(true);
      try {
        await page.reload({ waitUntil: 'load', timeout: 30000 });
        await until(page, (v) => v.state === 'waiting', 30000, 'state "waiting" offline');
        await page.mouse.click(512, 384);
        await until(page, (v) => v.state === 'running', 15000, 'state "running" offline');
        await settle(page);
        await expectNativeMatch(page, 'offline');
      } finally {
        await page.setOfflineMode(false);
      }
    });
}

// Firefox: WebGL 2 in a real window; a click starts it, full screen is granted and the drawing
// buffer follows the page's new size; the frames match the native ones at the start and after a
// drive with real key events.
async function firefoxSession(site) {
  const firefox = await launchFirefox();
  cleanups.push(firefox.close);
  console.log(`# Firefox's WebGL 2 renderer: ${firefox.renderer}`);
  const { page, errors } = await openPage(firefox.browser, site.url);
  await check('Firefox: a click starts it in full screen, covered at its device pixels; the ' +
    'start matches', async () => {
    await startedWith(page, () => page.mouse.click(512, 384));
    await page.waitForFunction(() => document.fullscreenElement && document.getElementById(
      'canvas').width === Math.round(innerWidth * devicePixelRatio), { timeout: 15000 });
    await settle(page);
    await expectNativeMatch(page, 'firefox-start');
  });
  await check('Firefox: a drive with real key events matches the native render', async () => {
    await hold(page, 'ArrowUp', 'up', 60);
    await hold(page, 'ArrowLeft', 'left', 10);
    await settle(page);
    await expectNativeMatch(page, 'firefox-drive');
  });
  await check('no console or page error in Firefox', () =>
    expect(errors.length === 0, errors.join(' | ')));
}

const cleanups = [];
async function main() {
  const site = await serve(siteDir);
  cleanups.push(site.close);
  if (inFirefox) return firefoxSession(site);
  const chromium = await launch();
  cleanups.push(chromium.close);
  await clickSession(chromium.browser, site);
  await enterSession(chromium.browser, site);
  await offlineSession(chromium.browser);
  await paceSession(chromium.browser, site);
  await screensSession(chromium.browser, site);
  await touchSession(chromium.browser, site);
  await gamepadSession(chromium.browser, site);
  await brokenPicturesSession(chromium.browser);
  if (chromium.renderer.includes('SwiftShader')) await shaderFailureSession(chromium.browser, site);
  await noWebglSession(site);
}

// ctest stops a test that overruns by killing it; stop first, and tidy up, on our own.
const watchdog = setTimeout(() => {
  console.log('FAIL - the test overran 200 s');
  ++failed;
  finish();
}, 200000);
let finished = false;
async function finish() {
  if (finished) return;
  finished = true;
  clearTimeout(watchdog);
  for (const close of cleanups.reverse()) await close();
  console.log(`${passed} passed, ${failed} failed`);
  process.exit(failed > 0 || passed === 0 ? 1 : 0);
}
main()
  .catch((error) => {
    console.log(`FAIL - ${error.message}`);
    ++failed;
  })
  .finally(finish);
