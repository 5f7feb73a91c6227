// The page audited as a phone meets it: Lighthouse's default mobile run (a mid-range phone on a
// slow 4G link, simulated) on the built site served gzip-compressed, in the same headless
// Chromium as the other web tests. Prints every category's score, the loading figures, what the
// visit downloads (each file's bytes on the wire and unpacked) and every audit that cost points.
// Accessibility, best practices and SEO must score at least 0.95; performance is a simulation
// of this machine's speed, so it is printed and never fails the test.
//   node web_audit.mjs SITE_DIR OUT_DIR
// Writes OUT_DIR/lighthouse.html; exits 1 on a failure and 77 when Chromium, Lighthouse or the
// built site is missing.
import fs from 'node:fs';
import path from 'node:path';

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

fs.mkdirSync(outDir, { recursive: true });
const site = await serveGzip(siteDir);
let chromium;
let result;
try {
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
let failed = 0;
for (const category of Object.values(lhr.categories)) {
  const lost = category.auditRefs
    .filter((ref) => ref.weight > 0 && lhr.audits[ref.id].score !== null &&
      lhr.audits[ref.id].score < 1)
    .map((ref) => `${ref.id} ${lhr.audits[ref.id].score}`);
  const counts = judged.includes(category.id);
  const ok = !counts || category.score >= kLeastScore;
  failed += !ok;
  console.log(`${ok ? 'ok' : 'FAIL'} - ${category.title}: ${category.score.toFixed(2)}` +
    `${counts ? ` (at least ${kLeastScore})` : ' (simulated: a figure, not a check)'}` +
    `${lost.length ? `; lost on ${lost.join(', ')}` : ''}`);
}
console.log(`${judged.length - failed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
