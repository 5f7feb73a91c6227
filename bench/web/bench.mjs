// The browser benchmark: in headless Chromium, the scripted drive (index.html?drive) and the
// floor (index.html?floor, the bench's bare loop through the same layer), one pass per animation
// frame with a one-pixel read-back ending each, on SwiftShader and on llvmpipe; beside them the
// native offscreen figures of vortalux-bench for the same drive and floor; all run by run back
// to back. Also the page's load to first frame and the size of what it downloads.
//   node bench/web/bench.mjs [--site DIR] [--native VORTALUX_BENCH] [--runs N] [--frames N]
//                            [--rasterisers swiftshader,llvmpipe] [--chromium FLAGS]
//                            [--trace FILE]
// --frames: the drive's first N passes (default 1200; 0 for the whole drive), natively too.
// --chromium adds flags to Chromium's command line (e.g. "--disable-gpu-compositing").
// --trace FILE: after the timed runs, one more drive on the first rasteriser, not counted, with
// Chromium's trace written to FILE (for chrome://tracing or Perfetto).
// Prints a table, then one JSON object on the last line. Needs tests/web's node_modules.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import zlib from 'node:zlib';
import { chromiumPath, launch, rasterisers, serve, until } from '../../tests/web/harness.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
// The most native frames per second may be over the browser's, per rasteriser, and the most the
// browser's demo/floor may differ from native's.
const kTargets = { swiftshader: 3, llvmpipe: 1.5 };
const kDemoFloorTolerance = 0.1;

function parseArgs(argv) {
  const firstBench = ['release', 'ci']
    .map((tree) => path.join(root, 'build', tree, 'vortalux-bench'))
    .find((file) => fs.existsSync(file));
  const options = { site: path.join(root, 'build/web'), native: firstBench, runs: 3, frames: 1200,
    rasterisers: 'swiftshader,llvmpipe', chromium: '', trace: '' };
  for (let i = 0; i < argv.length; i += 2) {
    const [name, value] = [argv[i].replace(/^--/, ''), argv[i + 1]];
    if (!(name in options) || value === undefined) {
      throw new Error(`unknown or incomplete option ${argv[i]}; see the usage at the top of ${
        fileURLToPath(import.meta.url)}`);
    }
    options[name] = typeof options[name] === 'number' ? Number(value)
      : ['rasterisers', 'chromium'].includes(name) ? value : path.resolve(value);
  }
  if (!(options.runs >= 1) || !(options.frames >= 0)) {
    throw new Error('--runs and --frames take whole numbers');
  }
  options.rasterisers = options.rasterisers.split(',');
  const unknown = options.rasterisers.filter((name) => !(name in rasterisers));
  if (unknown.length) throw new Error(`unknown rasteriser ${unknown}`);
  if (!options.native) throw new Error('no vortalux-bench in build/release or build/ci: --native');
  return options;
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

// One load of a timed page (web_timing.h). The animation frame is left uncapped by the display's
// rate, as the native loop is, so the figure is the frame's cost and not the refresh rate.
async function browserRun(browser, url, mode, frames, traceFile) {
  const page = await browser.newPage();
  const downloads = new Set();
  page.on('response', (response) => {
    if (response.status() < 400) downloads.add(new URL(response.url()).pathname);
  });
  try {
    if (traceFile) await page.tracing.start({ path: traceFile, screenshots: false });
    await page.goto(`${url}index.html?${mode}${frames ? `&frames=${frames}` : ''}`, {
      waitUntil: 'load',
      timeout: 30000,
    });
    const seen = await until(page, (v) => v.drive || ['error', 'no-webgl'].includes(v.state),
      900000, `the end of the ${mode}`, 1000);
    if (traceFile) await page.tracing.stop();
    if (!seen.drive) throw new Error(`the ${mode} page stopped with state "${seen.state}"`);
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

async function traceRun(name, site, options) {
  const chromium = await launchFor(name, options);
  try {
    await browserRun(chromium.browser, site.url, 'drive', options.frames, options.trace);
  } finally {
    await chromium.close();
  }
}

// The demo and the floor on one rasteriser in one browser, the order flipped on odd runs.
async function rasteriserRun(name, site, options, run) {
  const chromium = await launchFor(name, options);
  try {
    const drive = () => browserRun(chromium.browser, site.url, 'drive', options.frames);
    let demo;
    let floor;
    if (run % 2 === 0) {
      demo = await drive();
      floor = await browserRun(chromium.browser, site.url, 'floor', demo.passes);
    } else {
      floor = await browserRun(chromium.browser, site.url, 'floor', options.frames);
      demo = await drive();
    }
    return { demo, floor, renderer: chromium.renderer };
  } finally {
    await chromium.close();
  }
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

// Medians of one path's runs; demo/floor is the demo's frame time over the floor's, the median of
// the runs' own ratios.
function summarise(runs) {
  return {
    demo_fps: median(runs.map((r) => r.demo)),
    floor_fps: median(runs.map((r) => r.floor)),
    demo_floor: median(runs.map((r) => r.floor / r.demo)),
    draw_ms: median(runs.map((r) => r.drawMs)),
  };
}

function report(options, paths, browsers, native, sizes, firstFrameMs) {
  const f = (value, digits = 1) => value.toFixed(digits);
  const row = (label, s) => `  ${label.padEnd(22)} ${f(s.demo_fps).padStart(9)} ` +
    `${f(s.floor_fps).padStart(9)} ${f(s.demo_floor, 3).padStart(10)} ${f(s.draw_ms, 3).padStart(12)}`;
  const lines = [
    `${paths.native.passes} passes per run, median of ${options.runs} run${
      options.runs > 1 ? 's' : ''}, one-pixel read-back after every browser frame${
      options.chromium ? `, Chromium with ${options.chromium}` : ''}`,
    `  ${'path'.padEnd(22)} ${'demo fps'.padStart(9)} ${'floor fps'.padStart(9)} ` +
      `${'demo/floor'.padStart(10)} ${'draw ms/pass'.padStart(12)}`,
    ...options.rasterisers.map((name) => row(`browser, ${name}`, paths[name])),
    row('native, offscreen', native),
  ];
  for (const name of options.rasterisers) {
    const s = paths[name];
    const ratio = median(s.runs.map((r) => r.nativeDemo / r.demo));
    const gap = s.demo_floor / native.demo_floor - 1;
    s.native_over_browser = ratio;
    s.demo_floor_vs_native = gap;
    lines.push(`${name}: native / browser ${f(ratio, 2)} (target <= ${kTargets[name]}, ` +
      `${ratio <= kTargets[name] ? 'met' : 'MISSED'}); demo/floor ${gap >= 0 ? '+' : ''}${
      f(gap * 100)}% against native's; WebGL renderer "${browsers[name]}"`);
  }
  const kb = (bytes) => `${(bytes / 1024).toFixed(1)} kB`;
  lines.push(
    `load to first frame: ${f(firstFrameMs, 0)} ms`,
    'download:        raw      gzip -9',
    ...[...sizes.files, { file: 'total', ...sizes.total }].map(
      (r) => `  ${r.file.padEnd(14)} ${kb(r.raw).padStart(10)} ${kb(r.gzip).padStart(10)}`),
  );
  return lines.join('\n');
}

async function main() {
  const options = parseArgs(process.argv.slice(2));
  if (!fs.existsSync(chromiumPath)) {
    console.log(`SKIP - ${chromiumPath} is not installed (Debian: chromium)`);
    process.exit(77);
  }
  const site = await serve(options.site);
  const runs = Object.fromEntries(options.rasterisers.map((name) => [name, []]));
  const nativeRuns = [];
  const browsers = {};
  let first;
  try {
    // Run by run, every path once, so a change of load between runs falls on all alike.
    for (let i = 0; i < options.runs; ++i) {
      const native = nativeRun(options.native, options.frames);
      nativeRuns.push(native);
      for (const name of options.rasterisers) {
        const { demo, floor, renderer } = await rasteriserRun(name, site, options, i);
        browsers[name] = renderer;
        first ??= demo;
        runs[name].push({ demo: demo.fps, floor: floor.fps, drawMs: demo.drawMs,
          nativeDemo: native.demo, passes: demo.passes });
        console.error(`run ${i + 1}, ${name}: demo ${demo.fps.toFixed(1)}, floor ${
          floor.fps.toFixed(1)} frames/s; native demo ${native.demo.toFixed(1)}, floor ${
          native.floor.toFixed(1)}`);
      }
    }
    if (options.trace) await traceRun(options.rasterisers[0], site, options);
  } finally {
    site.close();
  }
  const paths = { native: { passes: first.passes } };
  for (const name of options.rasterisers) paths[name] = { ...summarise(runs[name]), runs: runs[name] };
  const native = summarise(nativeRuns);
  const sizes = downloadSizes(options.site, first.downloads);
  console.log(report(options, paths, browsers, native, sizes, first.firstFrameMs));
  const summary = {
    passes: first.passes,
    browser: Object.fromEntries(options.rasterisers.map((name) => {
      const { runs: perRun, ...figures } = paths[name];
      return [name, { ...figures, target: kTargets[name], renderer: browsers[name],
        runs: perRun.map(({ demo, floor }) => ({ demo_fps: demo, floor_fps: floor })) }];
    })),
    native,
    demo_floor_tolerance: kDemoFloorTolerance,
    first_frame_ms: first.firstFrameMs,
    download: sizes,
  };
  console.log(JSON.stringify(summary, (key, value) =>
    typeof value === 'number' ? Math.round(value * 1000) / 1000 : value));
}

main().catch((error) => {
  console.error(`bench.mjs: ${error.message}`);
  process.exit(1);
});
