// The browser benchmark: the web build's frames per second over the scripted drive in headless
// Chromium (index.html?drive, one pass per animation frame), beside the native offscreen figure
// of vortalux-bench over the same drive, run by run back to back; the page's load to first frame;
// and the size of what the page downloads, raw and gzipped.
//   node bench/web/bench.mjs [--site DIR] [--native VORTALUX_BENCH] [--runs N] [--frames N]
// Prints a table, then one JSON object on the last line. Needs tests/web's node_modules.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import zlib from 'node:zlib';
import { chromiumPath, launch, serve, until } from '../../tests/web/harness.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const kRatioTarget = 1.5;

function parseArgs(argv) {
  const firstBench = ['release', 'ci']
    .map((tree) => path.join(root, 'build', tree, 'vortalux-bench'))
    .find((file) => fs.existsSync(file));
  const options = { site: path.join(root, 'build/web'), native: firstBench, runs: 3, frames: 0 };
  for (let i = 0; i < argv.length; i += 2) {
    const [name, value] = [argv[i].replace(/^--/, ''), argv[i + 1]];
    if (!(name in options) || value === undefined) {
      throw new Error(`unknown or incomplete option ${argv[i]}; see the usage at the top of ${
        fileURLToPath(import.meta.url)}`);
    }
    options[name] = typeof options[name] === 'number' ? Number(value) : path.resolve(value);
  }
  if (!(options.runs >= 1) || !(options.frames >= 0)) {
    throw new Error('--runs and --frames take whole numbers');
  }
  if (!options.native) throw new Error('no vortalux-bench in build/release or build/ci: --native');
  return options;
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

// One load of the drive page; the animation frame is left uncapped by the display's rate, as the
// native loop is, so the figure is the frame's cost and not the refresh rate.
async function browserRun(browser, url, frames) {
  const page = await browser.newPage();
  const downloads = new Set();
  page.on('response', (response) => {
    if (response.status() < 400) downloads.add(new URL(response.url()).pathname);
  });
  try {
    await page.goto(`${url}index.html?drive${frames ? `&frames=${frames}` : ''}`, {
      waitUntil: 'load',
      timeout: 30000,
    });
    const seen = await until(page, (v) => v.drive || ['error', 'no-webgl'].includes(v.state),
      900000, 'the end of the drive', 1000);
    if (!seen.drive) throw new Error(`the page stopped with state "${seen.state}"`);
    return {
      passes: seen.drive.passes,
      fps: (seen.drive.passes * 1000) / seen.drive.ms,
      firstFrameMs: seen.firstFrameMs,
      downloads: [...downloads],
    };
  } finally {
    await page.close();
  }
}

function nativeRun(bench) {
  const out = execFileSync(bench, ['--json', '--runs', '1', '--startup-runs', '0'], {
    encoding: 'utf8',
    timeout: 600000,
  });
  return JSON.parse(out).demo_fps;
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

async function main() {
  const options = parseArgs(process.argv.slice(2));
  if (!fs.existsSync(chromiumPath)) {
    console.log(`SKIP - ${chromiumPath} is not installed (Debian: chromium)`);
    process.exit(77);
  }
  const site = await serve(options.site);
  const chromium = await launch(['--disable-gpu-vsync', '--disable-frame-rate-limit']).catch(
    (error) => {
      site.close();
      throw error;
    });
  const runs = [];
  try {
    // Alternating, so a change of load between runs falls on both alike.
    for (let i = 0; i < options.runs; ++i) {
      const web = await browserRun(chromium.browser, site.url, options.frames);
      const nativeFps = nativeRun(options.native);
      runs.push({ ...web, nativeFps, ratio: nativeFps / web.fps });
      console.error(`run ${i + 1}: browser ${web.fps.toFixed(1)} frames/s over ${web.passes} ` +
        `passes, native ${nativeFps.toFixed(1)} frames/s`);
    }
  } finally {
    await chromium.close();
    site.close();
  }
  const sizes = downloadSizes(options.site, runs[0].downloads);
  const summary = {
    passes: runs[0].passes,
    browser_fps: median(runs.map((r) => r.fps)),
    native_fps: median(runs.map((r) => r.nativeFps)),
    ratio: median(runs.map((r) => r.ratio)),
    ratio_target: kRatioTarget,
    first_frame_ms: median(runs.map((r) => r.firstFrameMs)),
    download: sizes,
    runs: runs.map(({ fps, nativeFps, ratio, firstFrameMs }) => ({
      browser_fps: fps, native_fps: nativeFps, ratio, first_frame_ms: firstFrameMs })),
  };
  const kb = (bytes) => `${(bytes / 1024).toFixed(1)} kB`;
  const lines = [
    `browser (headless Chromium, SwiftShader WebGL), ${summary.passes} passes: ` +
      `${summary.browser_fps.toFixed(1)} frames/s (median of ${runs.length} run${runs.length > 1 ? 's' : ''})`,
    `native (${path.relative(root, options.native)}, offscreen): ` +
      `${summary.native_fps.toFixed(1)} frames/s`,
    `frame ratio browser / native: ${summary.ratio.toFixed(3)} (median of the runs' ratios; ` +
      `target <= ${kRatioTarget}, ${summary.ratio <= kRatioTarget ? 'met' : 'MISSED'})`,
    `load to first frame: ${summary.first_frame_ms.toFixed(0)} ms`,
    'download:        raw      gzip -9',
    ...[...sizes.files, { file: 'total', ...sizes.total }].map(
      (r) => `  ${r.file.padEnd(14)} ${kb(r.raw).padStart(10)} ${kb(r.gzip).padStart(10)}`),
  ];
  console.log(lines.join('\n'));
  console.log(JSON.stringify(summary, (key, value) =>
    typeof value === 'number' ? Math.round(value * 1000) / 1000 : value));
}

main().catch((error) => {
  console.error(`bench.mjs: ${error.message}`);
  process.exit(1);
});
