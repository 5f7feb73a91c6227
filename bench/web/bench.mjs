// The browser benchmark: in headless Chromium, on SwiftShader and on llvmpipe, the scripted drive
// (index.html?drive), the page's floor (index.html?floor, the bench's floor frame through the
// page's OpenGL layer) and the bare floor (bare.html beside this file: the same picture on one
// quad in plain WebGL 2, what the browser itself can draw), one frame per animation frame with a
// one-pixel read-back ending each, all at 1024x768; beside them the native offscreen figures of
// vortalux-bench for the same drive and floor; all run by run back to back. Then the drive's time
// per frame at larger drawing buffers (a phone's and a laptop's, the bare floor beside it), the
// page's load to first frame and the size of what it downloads.
//   node bench/web/bench.mjs [--site DIR] [--native VORTALUX_BENCH] [--runs N] [--frames N]
//                            [--rasterisers swiftshader,llvmpipe] [--chromium FLAGS]
//                            [--sizes WxH,...] [--size-frames N] [--context JSON] [--trace FILE]
// --frames: the drive's first N passes (default 1200; 0 for the whole drive), natively too.
// --sizes: the larger drawing buffers (default 2532x1170,2560x1600; "" for none), each timed over
// the drive's first --size-frames passes (default 120), once per rasteriser.
// --chromium adds flags to Chromium's command line (e.g. "--disable-gpu-compositing").
// --context: WebGL context attributes laid over what every page asks for, the bare floor's too
// (e.g. '{"desynchronized":true}').
// --trace FILE: after the timed runs, one more drive on the first rasteriser, not counted, with
// Chromium's trace written to FILE (for chrome://tracing or Perfetto).
// The bare floor's picture is the native build's gfx/Sky.bmp, beside VORTALUX_BENCH. Prints a
// table, then one JSON object on the last line. Needs tests/web's node_modules.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import zlib from 'node:zlib';
import { chromiumPath, launch, rasterisers, serve, until } from '../../tests/web/harness.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, '../..');
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
  const options = { site: path.join(root, 'build/web'), native: firstBench, runs: 3, frames: 1200,
    rasterisers: 'swiftshader,llvmpipe', chromium: '', sizes: '2532x1170,2560x1600',
    'size-frames': 120, context: '{}', trace: '' };
  for (let i = 0; i < argv.length; i += 2) {
    const [name, value] = [argv[i].replace(/^--/, ''), argv[i + 1]];
    if (!(name in options) || value === undefined) {
      throw new Error(`unknown or incomplete option ${argv[i]}; see --help`);
    }
    options[name] = typeof options[name] === 'number' ? Number(value)
      : ['rasterisers', 'chromium', 'sizes', 'context'].includes(name) ? value
        : path.resolve(value);
  }
  if (!(options.runs >= 1) || !(options.frames >= 0) || !(options['size-frames'] >= 1)) {
    throw new Error('--runs, --frames and --size-frames take whole numbers');
  }
  options.rasterisers = options.rasterisers.split(',');
  const unknown = options.rasterisers.filter((name) => !(name in rasterisers));
  if (unknown.length) throw new Error(`unknown rasteriser ${unknown}`);
  options.sizes = options.sizes.split(',').filter(Boolean);
  options.context = JSON.parse(options.context);
  if (options.sizes.some((size) => !/^\d+x\d+$/.test(size))) throw new Error('--sizes takes WxH,...');
  if (!options.native) throw new Error('no vortalux-bench in build/release or build/ci: --native');
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

// One load of a timed page (web_timing.h; bare.html answers alike). The animation frame is left
// uncapped by the display's rate, as the native loop is, so the figure is the frame's cost and
// not the refresh rate. Fails when the page did not draw at the size asked for.
async function browserRun(browser, url, query, traceFile) {
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
    await page.goto(`${url}?${query}`, { waitUntil: 'load', timeout: 30000 });
    const seen = await until(page, (v) => v.drive || ['error', 'no-webgl'].includes(v.state),
      900000, `the end of ${url}?${query}`, 1000);
    if (traceFile) await page.tracing.stop();
    if (!seen.drive) throw new Error(`${url}?${query} stopped with state "${seen.state}"`);
    const drawn = await page.evaluate(() => {
      const canvas = document.querySelector('canvas');
      return { size: `${canvas.width}x${canvas.height}`, context: window.vortaluxContext };
    });
    const size = new URLSearchParams(query).get('size');
    if (drawn.size !== size) throw new Error(`drew ${drawn.size}, not ${size}: no ?size yet`);
    if (!url.endsWith('bare.html')) pageContext ??= drawn.context;
    return {
      passes: seen.drive.passes,
      fps: (seen.drive.passes * 1000) / seen.drive.ms,
      drawMs: seen.drive.drawMs / seen.drive.passes,
      firstFrameMs: seen.firstFrameMs,
      downloads: [...downloads],
    };
  } finally {
    await page.close();
  }
}

// The site's and the bare floor's pages: `mode` is drive, floor or bare.
function timed(sites, mode, frames, size = kSize) {
  const query = `size=${size}${frames ? `&frames=${frames}` : ''}`;
  if (mode !== 'bare') return [`${sites.page.url}index.html`, `${mode}&${query}`];
  const context = encodeURIComponent(JSON.stringify(pageContext ?? {}));
  return [`${sites.bare.url}bare.html`, `${query}&context=${context}`];
}

// The same passes as the page draws, every one of them.
function nativeRun(bench, frames) {
  const passes = frames ? ['--passes', String(frames)] : [];
  const out = execFileSync(bench, ['--json', '--runs', '1', '--startup-runs', '0', '--stride', '1',
    ...passes], {
    encoding: 'utf8',
    timeout: 600000,
  });
  const figures = JSON.parse(out);
  return { demo: figures.demo_fps, floor: figures.floor_fps, drawMs: figures.demo_draw_ms };
}

function launchFor(name, options) {
  const flags = options.chromium.split(' ').filter(Boolean);
  return launch(['--disable-gpu-vsync', '--disable-frame-rate-limit', ...flags], name);
}

async function traceRun(name, sites, options) {
  const chromium = await launchFor(name, options);
  try {
    await browserRun(chromium.browser, ...timed(sites, 'drive', options.frames), options.trace);
  } finally {
    await chromium.close();
  }
}

// The demo, the page's floor and the bare floor on one rasteriser in one browser, the order
// turned round on odd runs; the floors draw as many frames as the demo.
async function rasteriserRun(name, sites, options, run) {
  const chromium = await launchFor(name, options);
  try {
    const figures = {};
    const modes = run % 2 === 0 ? ['drive', 'floor', 'bare'] : ['bare', 'floor', 'drive'];
    let frames = options.frames;
    for (const mode of modes) {
      figures[mode] = await browserRun(chromium.browser, ...timed(sites, mode, frames));
      frames = figures[mode].passes;
    }
    return { demo: figures.drive, floor: figures.floor, bare: figures.bare,
      renderer: chromium.renderer };
  } finally {
    await chromium.close();
  }
}

// The drive's and the bare floor's time per frame at each larger drawing buffer.
async function sizeRun(name, sites, options) {
  const chromium = await launchFor(name, options);
  const figures = {};
  try {
    for (const size of options.sizes) {
      const frames = options['size-frames'];
      try {
        const demo = await browserRun(chromium.browser, ...timed(sites, 'drive', frames, size));
        const bare = await browserRun(chromium.browser, ...timed(sites, 'bare', frames, size));
        figures[size] = { frame_ms: 1000 / demo.fps, draw_ms: demo.drawMs,
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

// Medians of one path's runs; demo/floor is the demo's frame time over the floor's, and
// floor/bare the page floor's frame rate over the bare floor's, each the median of the runs' own.
function summarise(runs) {
  const bare = runs.every((r) => r.bare);
  return {
    demo_fps: median(runs.map((r) => r.demo)),
    floor_fps: median(runs.map((r) => r.floor)),
    ...(bare && { bare_fps: median(runs.map((r) => r.bare)),
      floor_bare: median(runs.map((r) => r.floor / r.bare)) }),
    demo_floor: median(runs.map((r) => r.floor / r.demo)),
    draw_ms: median(runs.map((r) => r.drawMs)),
  };
}

function report(options, paths, browsers, native, sizes, downloads, firstFrameMs) {
  const f = (value, digits = 1) => (value === undefined ? '-' : value.toFixed(digits));
  const columns = [['demo fps', 'demo_fps', 1], ['floor fps', 'floor_fps', 1],
    ['bare fps', 'bare_fps', 1], ['floor/bare', 'floor_bare', 3], ['demo/floor', 'demo_floor', 3],
    ['draw ms/pass', 'draw_ms', 3]];
  const row = (label, s) => `  ${label.padEnd(20)}` +
    columns.map(([title, key, digits]) => ` ${f(s[key], digits).padStart(title.length)}`).join('');
  const lines = [
    `${paths.native.passes} passes per run at ${kSize}, median of ${options.runs} run${
      options.runs > 1 ? 's' : ''}, one-pixel read-back after every browser frame${
      options.chromium ? `, Chromium with ${options.chromium}` : ''}; the bare floor's context: ${
      JSON.stringify(pageContext)}`,
    `  ${'path'.padEnd(20)}${columns.map(([title]) => ` ${title}`).join('')}`,
    ...options.rasterisers.map((name) => row(`browser, ${name}`, paths[name])),
    row('native, offscreen', native),
  ];
  const verdict = (met) => (met ? 'met' : 'MISSED');
  for (const name of options.rasterisers) {
    const s = paths[name];
    const ratio = median(s.runs.map((r) => r.nativeDemo / r.demo));
    const gap = s.demo_floor / native.demo_floor - 1;
    s.native_over_browser = ratio;
    s.demo_floor_vs_native = gap;
    const floorTarget = kFloorTargets[name];
    // What the browser itself costs: the native floor's frame rate over the bare page's, and
    // native / browser for a page that added to the bare floor only what the scene costs
    // natively on top of its floor, the best any page could do in this browser.
    s.native_over_bare = native.floor_fps / s.bare_fps;
    s.native_over_best = median(s.runs.map((r) => r.nativeDemo *
      (1 / r.bare + 1 / r.nativeDemo - 1 / r.nativeFloor)));
    lines.push(`${name}: native / browser ${f(ratio, 2)} (target <= ${kTargets[name]}, ${
      verdict(ratio <= kTargets[name])}; native floor / bare floor ${
      f(s.native_over_bare, 2)}, bare floor plus native's scene ${f(s.native_over_best, 2)
      }); page floor / bare floor ${f(s.floor_bare, 3)}${
      floorTarget ? ` (target >= ${floorTarget}, ${verdict(s.floor_bare >= floorTarget)})` : ''
    }; demo/floor ${gap >= 0 ? '+' : ''}${f(gap * 100)}% against native's; WebGL renderer "${
      browsers[name]}"`);
  }
  for (const size of options.sizes) {
    lines.push(`at ${size}, ${options['size-frames']} passes of the drive: ${
      options.rasterisers.map((name) => {
        const s = sizes[name][size];
        return s.error ? `${name}: ${s.error}` : `${name} ${f(s.frame_ms)} ms a frame (drawing ${
          f(s.draw_ms, 3)} ms; bare floor ${f(s.bare_frame_ms)} ms)`;
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
  const browsers = {};
  let first;
  try {
    sites.bare = await serveBare(options);
    // Run by run, every path once, so a change of load between runs falls on all alike.
    for (let i = 0; i < options.runs; ++i) {
      const native = nativeRun(options.native, options.frames);
      nativeRuns.push(native);
      for (const name of options.rasterisers) {
        const { demo, floor, bare, renderer } = await rasteriserRun(name, sites, options, i);
        browsers[name] = renderer;
        first ??= demo;
        runs[name].push({ demo: demo.fps, floor: floor.fps, bare: bare.fps, drawMs: demo.drawMs,
          nativeDemo: native.demo, nativeFloor: native.floor, passes: demo.passes });
        console.error(`run ${i + 1}, ${name}: demo ${demo.fps.toFixed(1)}, floor ${
          floor.fps.toFixed(1)}, bare floor ${bare.fps.toFixed(1)} frames/s; native demo ${
          native.demo.toFixed(1)}, floor ${native.floor.toFixed(1)}`);
      }
    }
    for (const name of options.rasterisers) sizes[name] = await sizeRun(name, sites, options);
    if (options.trace) await traceRun(options.rasterisers[0], sites, options);
  } finally {
    sites.page.close();
    sites.bare?.close();
  }
  const paths = { native: { passes: first.passes } };
  for (const name of options.rasterisers) paths[name] = { ...summarise(runs[name]), runs: runs[name] };
  const native = summarise(nativeRuns);
  const downloads = downloadSizes(options.site, first.downloads);
  console.log(report(options, paths, browsers, native, sizes, downloads, first.firstFrameMs));
  const summary = {
    passes: first.passes,
    browser: Object.fromEntries(options.rasterisers.map((name) => {
      const { runs: perRun, ...figures } = paths[name];
      return [name, { ...figures, target: kTargets[name], floor_target: kFloorTargets[name],
        renderer: browsers[name], sizes: sizes[name],
        runs: perRun.map(({ demo, floor, bare }) => ({ demo_fps: demo, floor_fps: floor,
          bare_fps: bare })) }];
    })),
    native,
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
