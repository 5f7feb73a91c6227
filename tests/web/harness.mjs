// What the web end-to-end test and the browser benchmark share: the built site served on a free
// loopback port by Python's http.server, headless Chromium with WebGL on SwiftShader or llvmpipe,
// Xvfb servers of their own, and bounded waits. Everything started here is stopped by the close()
// it returns, on every path.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

export const chromiumPath = process.env.VORTALUX_CHROMIUM ?? '/usr/bin/chromium';
export const width = 1024;
export const height = 768;

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function freePort() {
  return new Promise((resolve, reject) => {
    const probe = net.createServer();
    probe.once('error', reject);
    probe.listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

// Serves dir until close(); resolves once the server answers. Another process may take the
// probed port before Python binds it, so a server that dies at once is started again elsewhere.
export async function serve(dir) {
  for (let attempt = 0; attempt < 3; ++attempt) {
    const port = await freePort();
    const child = spawn(
      'python3',
      ['-m', 'http.server', '--bind', '127.0.0.1', String(port), '--directory', dir],
      { stdio: 'ignore' },
    );
    let exited = false;
    child.once('exit', () => (exited = true));
    const url = `http://127.0.0.1:${port}/`;
    for (let waited = 0; waited < 10000 && !exited; waited += 100) {
      try {
        await fetch(url);
        return {
          url,
          close: () => exited || child.kill(),
        };
      } catch {
        await sleep(100);
      }
    }
    if (!exited) child.kill();
  }
  throw new Error(`python3 -m http.server could not serve ${dir}`);
}

// The rasterisers WebGL can run on here: Chromium's own SwiftShader, or Mesa's llvmpipe (the one
// the native figures use) through ANGLE's OpenGL back end. Each names what its WebGL renderer
// string must contain, so a flag Chromium ignores cannot pass one off as the other.
export const rasterisers = {
  swiftshader: { args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
    renderer: 'SwiftShader' },
  llvmpipe: { args: ['--use-gl=angle', '--use-angle=gl-egl'], renderer: 'llvmpipe' },
};

// The unmasked WebGL 2 renderer string of a blank page, or null without WebGL 2.
async function webglRenderer(browser) {
  const page = await browser.newPage();
  try {
    return await page.evaluate(() => {
      const gl = document.createElement('canvas').getContext('webgl2');
      const info = gl && gl.getExtension('WEBGL_debug_renderer_info');
      return info ? gl.getParameter(info.UNMASKED_RENDERER_WEBGL) : null;
    });
  } finally {
    await page.close();
  }
}

// Headless Chromium with WebGL on `rasteriser` (VORTALUX_WEBGL, else SwiftShader), a 1024x768
// viewport and a profile of its own. Unless WebGL is switched off, the renderer string is checked
// and returned.
export async function launch(extraArgs = [], rasteriser = process.env.VORTALUX_WEBGL ||
  'swiftshader') {
  const webgl = rasterisers[rasteriser];
  if (!webgl) throw new Error(`unknown rasteriser "${rasteriser}" (${Object.keys(rasterisers)})`);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vortalux-chromium-'));
  try {
    const browser = await puppeteer.launch({
      executablePath: chromiumPath,
      headless: true,
      userDataDir: profile,
      defaultViewport: { width, height },
      timeout: 30000,
      protocolTimeout: 60000,
      args: [
        '--headless=new',
        '--no-sandbox',
        ...webgl.args,
        '--ignore-gpu-blocklist',
        '--disable-background-networking',
        '--disable-component-update',
        '--disable-sync',
        '--no-first-run',
        `--window-size=${width},${height}`,
        ...extraArgs,
      ],
    });
    const close = async () => {
      await Promise.race([browser.close(), sleep(10000)]).catch(() => {});
      browser.process()?.kill('SIGKILL');
      fs.rmSync(profile, { recursive: true, force: true });
    };
    let renderer = null;
    if (!extraArgs.includes('--disable-webgl')) {
      renderer = await webglRenderer(browser).catch((error) => error.message);
      if (!renderer?.includes(webgl.renderer)) {
        await close();
        throw new Error(`WebGL is not on ${webgl.renderer}: the renderer is "${renderer}"`);
      }
    }
    return { browser, close, renderer };
  } catch (error) {
    fs.rmSync(profile, { recursive: true, force: true });
    throw error;
  }
}

// Reads window.vortalux every `every` ms until test(it) is truthy, for at most ms; returns it.
// Each read is a round trip into the page that holds up its frames: a benchmark reads seldom.
export async function until(page, test, ms, what, every = 25) {
  const deadline = Date.now() + ms;
  for (;;) {
    const seen = await page.evaluate(() => window.vortalux && { ...window.vortalux });
    if (seen && test(seen)) return seen;
    if (Date.now() > deadline) {
      throw new Error(`timed out after ${ms} ms waiting for ${what} (window.vortalux: ` +
        `${JSON.stringify(seen)})`);
    }
    await sleep(every);
  }
}

// An X server of its own: Xvfb with one screen of `screen` (WxHxDEPTH), which picks a free display
// and says which. Resolves to { display: ':N', close } once it has; close() stops it.
export async function startXvfb(screen) {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', screen, '-nolisten', 'tcp'],
    { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  const close = () => xvfb.exitCode === null && xvfb.kill();
  let timer;
  try {
    const number = await new Promise((resolve, reject) => {
      let text = '';
      xvfb.stdio[3].on('data', (data) => {
        text += data;
        if (text.includes('\n')) resolve(text.trim());
      });
      xvfb.once('error', (error) => reject(new Error(`Xvfb could not start: ${error.message}`)));
      xvfb.once('exit', () => reject(new Error('Xvfb stopped before it gave a display')));
      timer = setTimeout(() => reject(new Error('Xvfb gave no display in 10 s')), 10000);
    });
    return { display: `:${number}`, close };
  } catch (error) {
    close();
    throw error;
  } finally {
    clearTimeout(timer);
  }
}

export const firefoxPath = process.env.VORTALUX_FIREFOX ?? '/usr/bin/firefox-esr';

// Firefox in a real window on an Xvfb server of its own, driven over WebDriver BiDi, with a
// 1024x768 page: headless, Firefox offers no WebGL 2 here, while in a window it draws WebGL 2 on
// llvmpipe once told not to refuse a software rasteriser. The renderer string is checked and
// returned; close() stops Firefox and the X server.
export async function launchFirefox() {
  const xvfb = await startXvfb('1280x1024x24');
  let browser = null;
  const close = async () => {
    if (browser) await Promise.race([browser.close(), sleep(10000)]).catch(() => {});
    browser?.process()?.kill('SIGKILL');
    xvfb.close();
  };
  try {
    browser = await puppeteer.launch({
      browser: 'firefox',
      executablePath: firefoxPath,
      headless: false,
      env: { ...process.env, DISPLAY: xvfb.display },
      defaultViewport: { width, height },
      timeout: 60000,
      protocolTimeout: 60000,
      extraPrefsFirefox: {
        'webgl.force-enabled': true,
        'webgl.disable-fail-if-major-performance-caveat': true,
      },
    });
    const renderer = await webglRenderer(browser).catch((error) => error.message);
    if (!renderer?.includes('llvmpipe')) {
      throw new Error(`Firefox's WebGL 2 is not on llvmpipe: the renderer is "${renderer}"`);
    }
    return { browser, close, renderer };
  } catch (error) {
    await close();
    throw error;
  }
}
