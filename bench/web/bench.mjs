// The browser benchmark, measured through the demo's own timedemo. In headless Chromium, on
// SwiftShader and on llvmpipe, at 1024x768, one frame per animation frame with a one-pixel
// read-back ending each and the frame rate uncapped:
//   - the drive: the page's timedemo, index.html?timedemo&frames=N, its figures read from
//     window.vortalux.timedemo;
//   - the page's floor: bench/floor.html in the web build (built by the web-bench preset), the
//     floor frame of vortalux-bench through the page's OpenGL layer;
//   - the bare floor: bare.html beside this file, the same picture on one quad in plain WebGL 2,
//     what the browser itself can draw.
// Natively, for the same frames of the same drive: vortalux-bench's offscreen figures for the
// drive and the floor, and `vortalux --timedemo --frames N` in a real window, full screen on an
// Xvfb server of its own at 1024x768, so that the page's ratio to native stands beside both. All
// run by run, back to back. Then the drive's time per frame at larger drawing buffers (a phone's
// and a laptop's, the bare floor beside it), the page's load to its first frame and the size of
// what it downloads.
//   node bench/web/bench.mjs [--site DIR] [--native VORTALUX_BENCH] [--program VORTALUX]
//                            [--runs N] [--frames N] [--rasterisers swiftshader,llvmpipe]
//                            [--chromium FLAGS] [--sizes WxH,...] [--size-frames N]
//                            [--context JSON] [--trace FILE]
// --site: the web build (default build/web), the floor page in its bench/ folder:
//   cmake --preset web-bench && cmake --build --preset web-bench
// --native: vortalux-bench (default: build/release's, else build/ci's).
// --program: the program whose --timedemo runs in the window (default: vortalux beside
// VORTALUX_BENCH; "" for no window). Without Xvfb (Debian: xvfb) the window is left out, and said.
// --frames: the drive's first N frames (default 1200; 0 for the whole drive), in every path.
// --sizes: the larger drawing buffers (default 2532x1170,2560x1600; "" for none), each timed over
// the drive's first --size-frames frames (default 120), once per rasteriser.
// --chromium adds flags to Chromium's command line (e.g. "--disable-gpu-compositing").
// --context: WebGL context attributes laid over what every page asks for, the bare floor's too
// (e.g. '{"desynchronized":true}').
// --trace FILE: after the timed runs, one more timedemo on the first rasteriser, not counted, with
// Chromium's trace written to FILE (for chrome://tracing or Perfetto).
// The bare floor's picture is the native build's gfx/Sky.bmp, beside VORTALUX_BENCH. Prints a
// table, then one JSON object on the last line. Needs tests/web's node_modules.
import { execFile } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { promisify } from 'node:util';
import zlib from 'node:zlib';
import {
  chromiumPath, launch, rasterisers, serve, startXvfb, until,
} from '../../tests/web/harness.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, '../..');
const run = promisify(execFile);
// The most native frames per second may be over the browser's, per rasteriser; the least share
// of the bare floor's frame rate the page's floor must reach; and the most the browser's
// demo/floor may differ from native's.
const kTargets = { swiftshader: 3, llvmpipe: 1.5 };
const kFloorTargets = { llvmpipe: 0.9 };
const kDemoFloorTolerance = 0.1;
const kSize = '1024x768';

// The usage: this file's opening comment.
function usage() {
  const text = fs.readFileSync(fileURLToPath(import.meta.url), 'utf8');
  return text.slice(0, text.indexOf('\nimport ')).replace(/^\/\/ ?/gm, '');
}

function parseArgs(argv) {
  if (argv.includes('--help') || argv.includes('-h')) {
    console.log(usage());
    process.exit(0);
  }
  const firstBench = ['release', 'ci']
    .map((tree) => path.join(root, 'build', tree, 'vortalux-bench'))
    .find((file) => fs.existsSync(file));
  const options = { site: path.join(root, 'build/web'), native: firstBench, program: undefined,
    runs: 3, frames: 1200, rasterisers: 'swiftshader,llvmpipe', chromium: '',
    sizes: '2532x1170,2560x1600', 'size-frames': 120, context: '{}', trace: '' };
  const numbers = ['runs', 'frames', 'size-frames'];
  const texts = ['rasterisers', 'chromium', 'sizes', 'context'];
  for (let i = 0; i < argv.length; i += 2) {
    const [name, value] = [argv[i].replace(/^--/, ''), argv[i + 1]];
    if (!(name in options) || !argv[i].startsWith('--') || value === undefined) {
      throw new Error(`unknown or incomplete option ${argv[i]}; see --help`);
    }
    options[name] = numbers.includes(name) ? Number(value)
      : texts.includes(name) || value === '' ? value : path.resolve(value);
  }
  if (numbers.some((name) => !Number.isInteger(options[name])) || options.runs < 1 ||
      options.frames < 0 || options['size-frames'] < 1) {
    throw new Error('--runs and --size-frames take whole numbers from 1, --frames from 0');
  }
  options.rasterisers = options.rasterisers.split(',');
  const unknown = options.rasterisers.filter((name) => !(name in rasterisers));
  if (unknown.length) throw new Error(`unknown rasteriser ${unknown}`);
  options.sizes = options.sizes.split(',').filter(Boolean);
  if (options.sizes.some((size) => !/^\d+x\d+$/.test(size))) {
    throw new Error('--sizes takes WxH,...');
  }
  options.context = JSON.parse(options.context);
  if (!options.native) throw new Error('no vortalux-bench in build/release or build/ci: --native');
  options.program ??= path.join(path.dirname(options.native), 'vortalux');
  const floorPage = path.join(options.site, 'bench', 'floor.html');
  if (!fs.existsSync(floorPage)) {
    throw new Error(`no ${floorPage}: build it with cmake --preset web-bench && ` +
      'cmake --build --preset web-bench');
  }
  return options;
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

// The context attributes the page asks for, so that the bare floor asks for the same, and those
// laid over them (--context).
let pageContext = null;
let overContext = {};

// The timed pages: where each is, its address for a number of frames at a size, and its figures
// once it has ended (null before). Each frame's time runs from one frame's animation frame to
// the next's, the last closed by the one after it.
const pages = {
  timedemo: {
    file: 'index.html',
    query: (frames, size) => `timedemo&frames=${frames}&size=${size}`,
    figures: (v) => v.timedemo && { frames: v.timedemo.frames, fps: v.timedemo.fps,
      medianMs: v.timedemo.medianMs, p99Ms: v.timedemo.p99Ms, maxMs: v.timedemo.maxMs,
      measured: v.timedemo.measured, displayMs: v.timedemo.displayMs },
  },
  floor: {
    file: 'bench/floor.html',
    query: (frames, size) => `frames=${frames}&size=${size}`,
    figures: (v) => v.floor && { frames: v.floor.frames, fps: v.floor.fps,
      drawMs: v.floor.drawMs / v.floor.frames },
  },
  bare: {
    file: 'bare.html',
    query: (frames, size) => `frames=${frames}&size=${size}&context=${
      encodeURIComponent(JSON.stringify(pageContext ?? {}))}`,
    figures: (v) => v.floor && { frames: v.floor.frames, fps: v.floor.fps,
      drawMs: v.floor.drawMs / v.floor.frames },
  },
};
// States in which a page is still on its way to its figures.
const kUnderWay = ['loading', 'waiting', 'running', 'lost'];

// One load of a timed page, at the frame rate the browser can draw (the animation frame is left
// uncapped by the display's rate, as the native loop is). Fails, saying why, when the page ended
// without its figures, drew fewer frames than asked or not at the size asked for.
async function browserRun(browser, sites, kind, frames, size = kSize, traceFile = '') {
  const timed = pages[kind];
  const site = kind === 'bare' ? sites.bare : sites.page;
  const url = `${site.url}${timed.file}?${timed.query(frames, size)}`;
  const page = await browser.newPage();
  const downloads = new Set();
  page.on('response', (response) => {
    if (response.status() < 400) downloads.add(new URL(response.url()).pathname);
  });
  await page.evaluateOnNewDocument((over) => {
    const getContext = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (type, attributes) {
      if (type === 'webgl2') {
        attributes = { ...attributes, ...over };
        const asked = attributes;
        window.vortaluxContext = Object.fromEntries(['alpha', 'depth', 'stencil', 'antialias',
          'premultipliedAlpha', 'preserveDrawingBuffer', 'desynchronized', 'powerPreference']
          .filter((name) => name in asked).map((name) => [name, asked[name]]));
      }
      return getContext.call(this, type, attributes);
    };
  }, overContext);
  try {
    if (traceFile) await page.tracing.start({ path: traceFile, screenshots: false });
    await page.goto(url, { waitUntil: 'load', timeout: 30000 });
    const seen = await until(page, (v) => timed.figures(v) || !kUnderWay.includes(v.state),
      900000, `the end of ${url}`, 1000);
    if (traceFile) await page.tracing.stop();
    const figures = timed.figures(seen);
    if (!figures) {
      const said = await page.evaluate(() => document.getElementById('message')?.innerText);
      throw new Error(`${url} stopped with state "${seen.state}"${
        seen.error || said ? `: ${seen.error || said.trim()}` : ''}`);
    }
    if (figures.frames !== frames) throw new Error(`${url} drew ${figures.frames} frames`);
    const drawn = await page.evaluate(() => {
      const canvas = document.querySelector('canvas');
      return { size: `${canvas.width}x${canvas.height}`, context: window.vortaluxContext };
    });
    if (drawn.size !== size) throw new Error(`${url} drew ${drawn.size}, not ${size}`);
    if (kind === 'timedemo') pageContext ??= drawn.context;
    return { ...figures, firstFrameMs: seen.firstFrameMs, downloads: [...downloads] };
  } finally {
    await page.close();
  }
}

// vortalux-bench offscreen: the drive's first `frames` passes (0: all of them), every one drawn,
// and the floor as many times.
async function nativeRun(bench, frames) {
  const passes = frames ? ['--passes', String(frames)] : [];
  const { stdout } = await run(bench, ['--json', '--runs', '1', '--startup-runs', '0', '--stride',
    '1', ...passes], { encoding: 'utf8', timeout: 600000 });
  const figures = JSON.parse(stdout);
  return { frames: figures.frames_per_run, demo: figures.demo_fps, floor: figures.floor_fps };
}

// The program's own line: "timedemo: N frames in S s, F frames/s; frame time median A ms, 99th
// percentile B ms, max C ms".
const kTimedemoLine = new RegExp('^timedemo: (\\d+) frames in ([\\d.]+) s, ([\\d.]+) frames/s; ' +
  'frame time median ([\\d.]+) ms, 99th percentile ([\\d.]+) ms, max ([\\d.]+) ms$', 'm');

// `vortalux --timedemo --frames N` full screen on the X display: SDL on X11 (never a Wayland
// session's own display), vertical sync off and no frame cap, as the timedemo asks.
async function windowRun(program, display, frames) {
  const env = { ...process.env, DISPLAY: display, SDL_VIDEODRIVER: 'x11' };
  delete env.WAYLAND_DISPLAY;
  let result;
  try {
    result = await run(program, ['--timedemo', '--frames', String(frames)],
      { encoding: 'utf8', env, timeout: 600000 });
  } catch (error) {
    throw new Error(`${program} --timedemo failed (exit ${error.code ?? error.signal}): ${
      (error.stderr || error.message).trim()}`);
  }
  const line = result.stdout.match(kTimedemoLine);
  if (!line) throw new Error(`${program} --timedemo printed no figures: "${result.stdout.trim()}"`);
  const [count, seconds, fps, medianMs, p99Ms, maxMs] = line.slice(1).map(Number);
  if (count !== frames) {
    throw new Error(`${program} --timedemo drew ${count} frames, not ${frames}`);
  }
  return { frames: count, seconds, demo: fps, medianMs, p99Ms, maxMs };
}

// The X display for the program's window, or why there is none.
async function windowDisplay(options) {
  if (!options.program) return { why: 'no window asked for (--program "")' };
  if (!fs.existsSync(options.program)) {
    return { why: `no ${options.program} (SDL2 missing from its build?)` };
  }
  try {
    return await startXvfb(`${kSize}x24`);
  } catch (error) {
    return { why: `${error.message} (Debian: xvfb)` };
  }
}

function launchFor(name, options) {
  const flags = options.chromium.split(' ').filter(Boolean);
  return launch(['--disable-gpu-vsync', '--disable-frame-rate-limit', ...flags], name);
}

async function traceRun(name, sites, options, frames) {
  const chromium = await launchFor(name, options);
  try {
    await browserRun(chromium.browser, sites, 'timedemo', frames, kSize, options.trace);
  } finally {
    await chromium.close();
  }
}

// The timedemo, the page's floor and the bare floor on one rasteriser in one browser, the order
// turned round on odd runs, each drawing `frames` frames.
async function rasteriserRun(name, sites, options, frames, index) {
  const chromium = await launchFor(name, options);
  try {
    const figures = {};
    const kinds = index % 2 === 0 ? ['timedemo', 'floor', 'bare'] : ['bare', 'floor', 'timedemo'];
    for (const kind of kinds) {
      figures[kind] = await browserRun(chromium.browser, sites, kind, frames);
    }
    return { ...figures, renderer: chromium.renderer };
  } finally {
    await chromium.close();
  }
}

// The timedemo's and the bare floor's time per frame at each larger drawing buffer.
async function sizeRun(name, sites, options) {
  const chromium = await launchFor(name, options);
  const figures = {};
  try {
    for (const size of options.sizes) {
      const frames = options['size-frames'];
      try {
        const demo = await browserRun(chromium.browser, sites, 'timedemo', frames, size);
        const bare = await browserRun(chromium.browser, sites, 'bare', frames, size);
        figures[size] = { frame_ms: 1000 / demo.fps, median_ms: demo.medianMs, p99_ms: demo.p99Ms,
          bare_frame_ms: 1000 / bare.fps };
      } catch (error) {
        figures[size] = { error: error.message };
      }
    }
  } finally {
    await chromium.close();
  }
  return figures;
}

function downloadSizes(site, pathnames) {
  const files = pathnames.map((name) => (name === '/' ? '/index.html' : name)).sort();
  const rows = files.map((name) => {
    const bytes = fs.readFileSync(path.join(site, name));
    const gzip = zlib.gzipSync(bytes, { level: 9 }).length;
    return { file: name.slice(1), raw: bytes.length, gzip };
  });
  const total = rows.reduce((sum, r) => ({ raw: sum.raw + r.raw, gzip: sum.gzip + r.gzip }),
    { raw: 0, gzip: 0 });
  return { files: rows, total };
}

// Medians of one path's runs: demo/floor is the demo's frame time over the floor's, floor/bare the
// page floor's frame rate over the bare floor's, each the median of the runs' own.
function summarise(runs) {
  const has = (key) => runs.every((r) => r[key] !== undefined);
  const of = (key) => (has(key) ? median(runs.map((r) => r[key])) : undefined);
  return {
    demo_fps: of('demo'),
    floor_fps: of('floor'),
    bare_fps: of('bare'),
    floor_bare: has('bare') && has('floor') ? median(runs.map((r) => r.floor / r.bare)) : undefined,
    demo_floor: has('floor') ? median(runs.map((r) => r.floor / r.demo)) : undefined,
    median_ms: of('medianMs'),
    p99_ms: of('p99Ms'),
  };
}

function report(options, frames, paths, browsers, native, inWindow, sizes, downloads,
  firstFrameMs) {
  const f = (value, digits = 1) => (value === undefined ? '-' : value.toFixed(digits));
  const columns = [['demo fps', 'demo_fps', 1], ['floor fps', 'floor_fps', 1],
    ['bare fps', 'bare_fps', 1], ['floor/bare', 'floor_bare', 3], ['demo/floor', 'demo_floor', 3],
    ['median ms', 'median_ms', 2], ['p99 ms', 'p99_ms', 2]];
  const row = (label, s) => `  ${label.padEnd(20)}` +
    columns.map(([title, key, digits]) => ` ${f(s[key], digits).padStart(title.length)}`).join('');
  const lines = [
    `${frames} frames of the drive per run at ${kSize}, median of ${options.runs} run${
      options.runs > 1 ? 's' : ''}, one-pixel read-back after every browser frame${
      options.chromium ? `, Chromium with ${options.chromium}` : ''}; the bare floor's context: ${
      JSON.stringify(pageContext)}`,
    `  ${'path'.padEnd(20)}${columns.map(([title]) => ` ${title}`).join('')}`,
    ...options.rasterisers.map((name) => row(`browser, ${name}`, paths[name])),
    row('native, offscreen', native),
    inWindow.why ? `  native, window: none: ${inWindow.why}` : row('native, window', inWindow),
  ];
  const verdict = (met) => (met ? 'met' : 'MISSED');
  for (const name of options.rasterisers) {
    const s = paths[name];
    const ratio = s.native_over_browser;
    const gap = s.demo_floor / native.demo_floor - 1;
    const floorTarget = kFloorTargets[name];
    const windowed = s.window_over_browser === undefined ? ''
      : `, in a window ${f(s.window_over_browser, 2)} (${
        verdict(s.window_over_browser <= kTargets[name])})`;
    // The page tells whether the browser held its frames to the display: then the figures are
    // the display's, not the drawing's.
    const paced = s.runs.filter((r) => r.measured === 'display').map((r) => f(r.displayMs, 1));
    const capped = paced.length ? `; the page says its frames were held to the display (${
      paced.join(', ')} ms apart): these figures are not the drawing's` : '';
    lines.push(`${name}: native / browser offscreen ${f(ratio, 2)} (target <= ${kTargets[name]}, ${
      verdict(ratio <= kTargets[name])})${windowed}; native floor / bare floor ${
      f(s.native_over_bare, 2)}, bare floor plus native's scene ${f(s.native_over_best, 2)
    }; page floor / bare floor ${f(s.floor_bare, 3)}${
      floorTarget ? ` (target >= ${floorTarget}, ${verdict(s.floor_bare >= floorTarget)})` : ''
    }; demo/floor ${gap >= 0 ? '+' : ''}${f(gap * 100)}% against native's; WebGL renderer "${
      browsers[name]}"${capped}`);
  }
  for (const size of options.sizes) {
    lines.push(`at ${size}, ${options['size-frames']} frames of the drive: ${
      options.rasterisers.map((name) => {
        const s = sizes[name][size];
        return s.error ? `${name}: ${s.error}` : `${name} ${f(s.frame_ms)} ms a frame (median ${
          f(s.median_ms, 2)}, p99 ${f(s.p99_ms, 2)} ms; bare floor ${f(s.bare_frame_ms)} ms)`;
      }).join(', ')}`);
  }
  const kb = (bytes) => `${(bytes / 1024).toFixed(1)} kB`;
  lines.push(
    `load to first frame: ${f(firstFrameMs, 0)} ms`,
    'download:        raw      gzip -9',
    ...[...downloads.files, { file: 'total', ...downloads.total }].map(
      (r) => `  ${r.file.padEnd(14)} ${kb(r.raw).padStart(10)} ${kb(r.gzip).padStart(10)}`),
  );
  return lines.join('\n');
}

// The bare floor's page and its picture, served from a folder of their own.
async function serveBare(options) {
  const picture = path.join(path.dirname(options.native), 'gfx', 'Sky.bmp');
  if (!fs.existsSync(picture)) throw new Error(`no ${picture} for the bare floor`);
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'vortalux-bare-'));
  fs.copyFileSync(path.join(here, 'bare.html'), path.join(dir, 'bare.html'));
  fs.copyFileSync(picture, path.join(dir, 'Sky.bmp'));
  try {
    const site = await serve(dir);
    return { ...site, close: () => { site.close(); fs.rmSync(dir, { recursive: true }); } };
  } catch (error) {
    fs.rmSync(dir, { recursive: true });
    throw error;
  }
}

async function main() {
  const options = parseArgs(process.argv.slice(2));
  overContext = options.context;
  if (!fs.existsSync(chromiumPath)) {
    console.log(`SKIP - ${chromiumPath} is not installed (Debian: chromium)`);
    process.exit(77);
  }
  const sites = { page: await serve(options.site) };
  const runs = Object.fromEntries(options.rasterisers.map((name) => [name, []]));
  const sizes = {};
  const nativeRuns = [];
  const windowRuns = [];
  const browsers = {};
  let display = { why: 'not started' };
  let first;
  let frames;
  try {
    sites.bare = await serveBare(options);
    display = await windowDisplay(options);
    if (display.why) console.error(`no figures in a window: ${display.why}`);
    // Run by run, every path once, so that a change of load between runs falls on all alike.
    for (let i = 0; i < options.runs; ++i) {
      const native = await nativeRun(options.native, options.frames);
      frames = native.frames;  // the whole drive's length, with --frames 0
      nativeRuns.push(native);
      const windowed = display.why ? null
        : await windowRun(options.program, display.display, frames);
      if (windowed) windowRuns.push(windowed);
      for (const name of options.rasterisers) {
        const { timedemo, floor, bare, renderer } =
          await rasteriserRun(name, sites, options, frames, i);
        browsers[name] = renderer;
        first ??= timedemo;
        runs[name].push({ demo: timedemo.fps, floor: floor.fps, bare: bare.fps,
          medianMs: timedemo.medianMs, p99Ms: timedemo.p99Ms, measured: timedemo.measured,
          displayMs: timedemo.displayMs,
          nativeDemo: native.demo, nativeFloor: native.floor, windowDemo: windowed?.demo });
        const inWindow = windowed ? `, window timedemo ${windowed.demo.toFixed(1)}` : '';
        console.error(`run ${i + 1}, ${name}: timedemo ${timedemo.fps.toFixed(1)} (${
          timedemo.measured}), floor ${floor.fps.toFixed(1)}, bare floor ${
          bare.fps.toFixed(1)} frames/s; native offscreen demo ${native.demo.toFixed(1)}, floor ${
          native.floor.toFixed(1)}${inWindow}`);
      }
    }
    for (const name of options.rasterisers) sizes[name] = await sizeRun(name, sites, options);
    if (options.trace) await traceRun(options.rasterisers[0], sites, options, frames);
  } finally {
    sites.page.close();
    sites.bare?.close();
    display.close?.();
  }
  const native = summarise(nativeRuns);
  const inWindow = display.why ? { why: display.why } : summarise(windowRuns);
  const paths = {};
  for (const name of options.rasterisers) {
    const perRun = runs[name];
    const s = { ...summarise(perRun), runs: perRun };
    // What the browser itself costs: the native floor's frame rate over the bare page's, and
    // native / browser for a page that added to the bare floor only what the scene costs
    // natively on top of its floor, the best any page could do in this browser.
    s.native_over_browser = median(perRun.map((r) => r.nativeDemo / r.demo));
    if (!inWindow.why) s.window_over_browser = median(perRun.map((r) => r.windowDemo / r.demo));
    s.native_over_bare = native.floor_fps / s.bare_fps;
    s.native_over_best = median(perRun.map((r) => r.nativeDemo *
      (1 / r.bare + 1 / r.nativeDemo - 1 / r.nativeFloor)));
    paths[name] = s;
  }
  const downloads = downloadSizes(options.site, first.downloads);
  console.log(report(options, frames, paths, browsers, native, inWindow, sizes, downloads,
    first.firstFrameMs));
  const summary = {
    frames,
    browser: Object.fromEntries(options.rasterisers.map((name) => {
      const { runs: perRun, ...figures } = paths[name];
      return [name, { ...figures, target: kTargets[name], floor_target: kFloorTargets[name],
        renderer: browsers[name], sizes: sizes[name],
        runs: perRun.map((r) => ({ demo_fps: r.demo, floor_fps: r.floor, bare_fps: r.bare,
          measured: r.measured })) }];
    })),
    native,
    native_window: inWindow.why ? { none: inWindow.why } : { ...inWindow,
      runs: windowRuns.map(({ demo, medianMs, p99Ms, maxMs }) => ({ demo_fps: demo,
        median_ms: medianMs, p99_ms: p99Ms, max_ms: maxMs })) },
    demo_floor_tolerance: kDemoFloorTolerance,
    context: pageContext,
    first_frame_ms: first.firstFrameMs,
    download: downloads,
  };
  console.log(JSON.stringify(summary, (key, value) =>
    typeof value === 'number' ? Math.round(value * 1000) / 1000 : value));
}

main().catch((error) => {
  console.error(`bench.mjs: ${error.message}`);
  process.exit(1);
});
