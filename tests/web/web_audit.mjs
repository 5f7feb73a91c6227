// The page audited as a phone meets it: Lighthouse's default mobile run (a mid-range phone on a
// slow 4G link, simulated) on the built site served gzip-compressed, in the same headless
// Chromium as the other web tests. Prints every category's score, the loading figures, what the
// visit downloads (each file's bytes on the wire and unpacked) and every audit that cost points.
// Accessibility, best practices and SEO must score at least 0.95; performance is a simulation
// of this machine's speed, so it is printed and never fails the test. First the server itself
// is sent hostile paths, which it must answer with 400 or 404 and then serve on.
//   node web_audit.mjs SITE_DIR OUT_DIR
// Writes OUT_DIR/lighthouse.html; exits 1 on a failure and 77 when Chromium, Lighthouse or the
// built site is missing.
import fs from 'node:fs';
import net from 'node:net';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const [siteDir, outDir] = process.argv.slice(2);
if (!outDir) {
  console.error('usage: node web_audit.mjs SITE_DIR OUT_DIR');
  process.exit(2);
}
const skip = (why) => {
  console.log(`SKIP - ${why}`);
  process.exit(77);
};
const { chromiumPath, launch } = await import('./harness.mjs').catch(() =>
  skip('puppeteer-core is not installed (npm ci in tests/web)'));
if (!fs.existsSync(chromiumPath)) skip(`${chromiumPath} is not installed (Debian: chromium)`);
if (!fs.existsSync(path.join(siteDir, 'vortalux.js'))) skip(`no site in ${siteDir} (Emscripten?)`);
const { default: lighthouse } = await import('lighthouse').catch(() =>
  skip('lighthouse is not installed (npm ci in tests/web)'));
const { serveGzip } = await import('./gzip_server.mjs');

const kLeastScore = 0.95;
const judged = ['accessibility', 'best-practices', 'seo'];
const metrics = ['first-contentful-paint', 'largest-contentful-paint', 'speed-index',
  'total-blocking-time', 'cumulative-layout-shift'];

let passed = 0;
let failed = 0;
const verdict = (ok, line) => {
  console.log(`${ok ? 'ok' : 'FAIL'} - ${line}`);
  ok ? ++passed : ++failed;
};

// The status code of one request sent byte for byte (a NUL, "..", anything), or the error.
function rawStatus(url, target) {
  const { hostname, port } = new URL(url);
  return new Promise((resolve) => {
    const socket = net.connect(Number(port), hostname);
    let text = '';
    const timer = setTimeout(() => socket.destroy(new Error('no answer in 5 s')), 5000);
    socket.on('data', (data) => (text += data.toString('latin1')));
    socket.on('error', (error) => resolve(error.message));
    socket.on('close', () => {
      clearTimeout(timer);
      resolve(Number(/^HTTP\/1\.1 (\d{3})/.exec(text)?.[1]) || `no status line in "${text}"`);
    });
    socket.end(Buffer.from(`GET ${target} HTTP/1.1\r\nHost: ${hostname}\r\n` +
      'Connection: close\r\n\r\n', 'latin1'));
  });
}

// A file that exists outside the served tree (this script), named from inside it with encoded
// slashes, which the URL parser leaves alone.
const outside = `/${path.relative(siteDir, fileURLToPath(import.meta.url)).split(path.sep)
  .join('%2f')}`;
const hostilePaths = [
  ['/%00', 400, 'a NUL byte, percent-encoded'],
  ['/index.html%00.png', 400, 'a NUL byte inside a name'],
  ['/index\0.html', 400, 'a raw NUL byte'],
  ['/%zz', 400, 'bad percent-encoding'],
  ['/%E0%A4%A', 400, 'a truncated UTF-8 sequence'],
  ['/index.html/x', 404, 'a path below a file'],
  ['/../../../../etc/passwd', 404, 'dot segments above the root'],
  [outside, 404, 'encoded slashes and dot segments to a file outside the tree'],
  [`/${'a'.repeat(300)}`, 404, 'a name longer than the file system allows'],
  [`/${'a/'.repeat(3000)}`, 404, 'a path longer than the file system allows'],
  [`/${'a'.repeat(20000)}`, 400, 'a request line past the HTTP parser\'s limit'],
  ['/', 200, 'the page, after all of them'],
];

fs.mkdirSync(outDir, { recursive: true });
const site = await serveGzip(siteDir);
let chromium;
let result;
try {
  for (const [target, expected, what] of hostilePaths) {
    const status = await rawStatus(site.url, target);
    verdict(status === expected, `the server: ${what}, ${status}` +
      `${status === expected ? '' : ` (expected ${expected}; ${target.slice(0, 80)})`}`);
  }
  chromium = await launch();
  const port = Number(new URL(chromium.browser.wsEndpoint()).port);
  result = await lighthouse(site.url, { port, output: 'html', logLevel: 'error' });
} finally {
  await chromium?.close();
  await site.close();
}
const { lhr, report } = result;
fs.writeFileSync(path.join(outDir, 'lighthouse.html'), report);
if (lhr.runtimeError) {
  console.log(`FAIL - Lighthouse could not audit ${site.url}: ${lhr.runtimeError.message}`);
  process.exit(1);
}

console.log(`Lighthouse ${lhr.lighthouseVersion}, ${lhr.configSettings.formFactor}, ` +
  `${lhr.configSettings.throttlingMethod} throttling, ${lhr.environment.hostUserAgent}`);
for (const id of metrics) {
  const audit = lhr.audits[id];
  console.log(`  ${audit.title.padEnd(26)} ${audit.displayValue}`);
}
const requests = lhr.audits['network-requests'].details.items;
const bytes = (what, wire, unpacked) => console.log(`  ${what.padEnd(26)} ` +
  `${String(wire).padStart(8)} B on the wire, ${String(unpacked).padStart(8)} B unpacked`);
for (const { url, transferSize, resourceSize } of requests) {
  bytes(new URL(url).pathname, transferSize, resourceSize);
}
const sum = (key) => requests.reduce((total, request) => total + request[key], 0);
bytes('the visit', sum('transferSize'), sum('resourceSize'));

// What cost each category points: its weighted audits that did not pass.
for (const category of Object.values(lhr.categories)) {
  const lost = category.auditRefs
    .filter((ref) => ref.weight > 0 && lhr.audits[ref.id].score !== null &&
      lhr.audits[ref.id].score < 1)
    .map((ref) => `${ref.id} ${lhr.audits[ref.id].score}`);
  const counts = judged.includes(category.id);
  verdict(!counts || category.score >= kLeastScore, `${category.title}: ` +
    `${category.score.toFixed(2)}` +
    `${counts ? ` (at least ${kLeastScore})` : ' (simulated: a figure, not a check)'}` +
    `${lost.length ? `; lost on ${lost.join(', ')}` : ''}`);
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
