// The README's pictures of the web demo, taken in headless Chromium after a drive with real input:
//   node tools/web-picture.mjs OUT.png           a 21:9 monitor (a 2560x1080 page), keys (up held
//                                                for 697 steps, left for 8), scaled to 840 wide
//   node tools/web-picture.mjs --phone OUT.png   a phone held landscape (844x390 at 3 device
//                                                pixels per CSS pixel, touch), driven with the
//                                                touch controls, which show; drawn at 2532x1170
//                                                and scaled to 844x390
// (build/web built; tests/web's node_modules installed). Both pages draw at the screen's device
// pixels and take one step a frame (?pace=frame), so that the drive stops on the very step it
// waits for.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch, serve, until } from '../tests/web/harness.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const phone = process.argv[2] === '--phone';
const out = path.resolve(process.argv[phone ? 3 : 2] ?? (phone ? 'phone.png' : 'web.png'));
// The steps at the journal's end that hold `keys` ("up*697" -> 697 for "up").
const stepsAtEnd = (steps, keys) => {
  const last = (steps ?? '').trim().split(' ').at(-1).split('*');
  return last[0] === keys ? Number(last[1]) : 0;
};
const climbed = (steps) => stepsAtEnd(steps, 'up') >= 697;
const turned = (steps) => stepsAtEnd(steps, 'left') >= 8;

async function keyDrive(page) {
  await page.setViewport({ width: 2560, height: 1080 });
  await page.goto(`${site.url}index.html?pace=frame`);
  await until(page, (v) => v.state === 'waiting', 30000, 'the page');
  await page.keyboard.press('Enter');
  await page.keyboard.down('ArrowUp');
  await until(page, (v) => climbed(v.steps), 600000, 'the climb', 5);
  await page.keyboard.up('ArrowUp');
  await page.keyboard.down('ArrowLeft');
  await until(page, (v) => turned(v.steps), 600000, 'the turn', 5);
  await page.keyboard.up('ArrowLeft');
  await new Promise((resolve) => setTimeout(resolve, 1000));
  await page.screenshot({ path: `${out}.full.png` });
  execFileSync('convert', [`${out}.full.png`, '-resize', '840x', '-strip', out]);
  fs.rmSync(`${out}.full.png`);
}

// The same climb and turn with thumbs on the controls, taken with a thumb on forward (lit).
async function touchDrive(page) {
  await page.setViewport({ width: 844, height: 390, deviceScaleFactor: 3, isMobile: true,
    hasTouch: true });
  await page.goto(`${site.url}index.html?pace=frame`);
  await until(page, (v) => v.state === 'waiting', 30000, 'the page');
  const cdp = await page.createCDPSession();
  const touch = (type, x, y, id) => cdp.send('Input.dispatchTouchEvent',
    { type, touchPoints: type === 'touchEnd' && id === undefined ? [] : [{ x, y, id }] });
  await touch('touchStart', 422, 150, 0);
  await touch('touchEnd');
  await until(page, (v) => v.state === 'running', 15000, 'the start');
  const at = await page.evaluate(() => Object.fromEntries(
    [...document.querySelectorAll('[data-key]')].map((control) => {
      const box = control.getBoundingClientRect();
      return [control.dataset.key, [box.x + box.width / 2, box.y + box.height / 2]];
    })));
  await touch('touchStart', ...at.up, 1);
  await until(page, (v) => climbed(v.steps), 600000, 'the climb', 5);
  await touch('touchEnd', ...at.up, 1);
  await touch('touchStart', ...at.left, 2);
  await until(page, (v) => turned(v.steps), 600000, 'the turn', 5);
  await touch('touchEnd', ...at.left, 2);
  await touch('touchStart', ...at.up, 3);
  await new Promise((resolve) => setTimeout(resolve, 150));
  await page.screenshot({ path: `${out}.full.png` });
  await touch('touchEnd', ...at.up, 3);
  execFileSync('convert', [`${out}.full.png`, '-resize', '844x390', '-strip', out]);
  fs.rmSync(`${out}.full.png`);
}

const site = await serve(path.join(root, 'build/web'));
// A phone's density reaches the page's device-pixel box only as the browser's own scale factor.
const chromium = await launch(phone ? ['--force-device-scale-factor=3'] : []);
try {
  const page = await chromium.browser.newPage();
  await (phone ? touchDrive(page) : keyDrive(page));
  console.log(`${out}: ${await page.evaluate(() => window.vortalux.steps)}`);
} finally {
  await chromium.close();
  await site.close();
}
