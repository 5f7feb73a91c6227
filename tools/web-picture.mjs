// The README's picture of the web demo: the page in headless Chromium in a 16:9 window, after a
// drive with real keys (up held for 697 passes, left for 8), halved to 640x360.
//   node tools/web-picture.mjs OUT.png   (build/web built; tests/web's node_modules installed)
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch, serve, until } from '../tests/web/harness.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const out = path.resolve(process.argv[2] ?? 'web.png');
const site = await serve(path.join(root, 'build/web'));
const chromium = await launch();
try {
  const page = await chromium.browser.newPage();
  await page.setViewport({ width: 1280, height: 720 });
  await page.goto(`${site.url}index.html`);
  await until(page, (v) => v.state === 'waiting', 30000, 'the page');
  await page.keyboard.press('Enter');
  await page.keyboard.down('ArrowUp');
  await until(page, (v) => /up\*697$/.test(v.steps ?? ''), 120000, 'the climb', 5);
  await page.keyboard.up('ArrowUp');
  await page.keyboard.down('ArrowLeft');
  await until(page, (v) => /left\*8$/.test(v.steps), 60000, 'the turn', 5);
  await page.keyboard.up('ArrowLeft');
  await new Promise((resolve) => setTimeout(resolve, 1000));
  await page.screenshot({ path: `${out}.full.png` });
  execFileSync('convert', [`${out}.full.png`, '-resize', '640x360', '-strip', out]);
  fs.rmSync(`${out}.full.png`);
  console.log(`${out}: ${await page.evaluate(() => window.vortalux.steps)}`);
} finally {
  await chromium.close();
  await site.close();
}
