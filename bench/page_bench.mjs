// The page in headless Chromium on this machine: its files raw and gzip-compressed, the time from
// navigation to the first picture (the menu), and a busy round (the demo's game) at 960 x 640 and on
// an emulated phone with a CPU four times slower, there also with nothing for SwiftShader to fill.
// node bench/page_bench.mjs [PAGE] after scripts/web
// (bench/run does both); PAGE is another build's page folder, to set figures side by side.
import { readdirSync, readFileSync, statSync } from 'node:fs';
import { join, resolve, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';

import { launchChromium } from '../tests/web/chromium.mjs';
import { serve } from '../web/serve.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const page = resolve(process.argv[2] ?? join(root, 'build-web/page'));
const kLoads = 5;
const kBusySeconds = 10;

const size = (file) => {
  const bytes = readFileSync(file);
  return [bytes.length, gzipSync(bytes, { level: 9 }).length];
};
const total = (sizes) => sizes.reduce(([a, b], [c, d]) => [a + c, b + d], [0, 0]);
const art = (density) => readdirSync(join(page, 'art'))
  .filter((name) => name.endsWith(`@${density}x.png`))
  .map((name) => size(join(page, 'art', name)));
console.log('page files: raw bytes, gzip -9 bytes');
for (const file of readdirSync(page).filter((name) => statSync(join(page, name)).isFile())) {
  console.log(`  ${file}: ${size(join(page, file)).join(', ')}`);
}
for (const density of [2, 4]) console.log(`  art/ at ${density}x: ${total(art(density)).join(', ')}`);

// Seconds of CPU all of Chromium's processes have used so far.
const chromiumCpu = () => {
  let ticks = 0;
  for (const pid of readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    try {
      const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
      if (!stat.includes('(chromium')) continue;
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      ticks += Number(fields[11]) + Number(fields[12]);
    } catch {
      // gone meanwhile
    }
  }
  return ticks / 100;
};

const { server, address } = await serve(page);
const browser = await launchChromium({ soundWithoutGesture: true });
const firsts = [];
for (let i = 0; i < kLoads; ++i) {
  const context = await browser.newContext({ viewport: { width: 960, height: 640 } });
  const tab = await context.newPage();
  await tab.goto(address);
  await tab.waitForFunction(() => window.tidewickFirstPicture, null, { timeout: 60000 });
  firsts.push(await tab.evaluate(() => window.tidewickFirstPicture));
  await context.close();
}
const median = [...firsts].sort((a, b) => a - b)[kLoads >> 1];
console.log(`first picture after navigation: median ${median.toFixed(0)} ms ` +
  `(${firsts.map((t) => t.toFixed(0)).join(', ')} ms in order, the first in a new browser)`);

// The demo starts after half a minute on the menu; its game is a busy round soon after. Over ten
// seconds of it, on a screen `options` describes and with the CPU slowed down `slowdown` times
// (Chromium's emulation): the pictures a second, the share of the page's main thread the game's
// frames took (the work a slower CPU slows) and its time per picture, the WebGL calls a picture
// (every method of the context counted), and the CPU of all of Chromium's processes (with
// SwiftShader's drawing for want of a GPU). `withoutFill` leaves the context's draws and clears
// out, so that SwiftShader has nothing to fill.
async function busyRound(options, slowdown = 1, withoutFill = false) {
  const context = await browser.newContext(options);
  if (withoutFill) {
    await context.addInitScript(() => {
      for (const kind of [window.WebGLRenderingContext, window.WebGL2RenderingContext]) {
        kind.prototype.drawArrays = kind.prototype.clear = () => {};
      }
    });
  }
  await context.addInitScript(() => {
    const request = window.requestAnimationFrame.bind(window);
    window.frameMs = 0;
    window.glCalls = 0;
    window.glPictures = 0;  // frames that drew
    window.requestAnimationFrame = (frame) => request((now) => {
      const start = performance.now();
      const calls = window.glCalls;
      frame(now);
      window.frameMs += performance.now() - start;
      if (window.glCalls > calls) ++window.glPictures;
    });
    for (const kind of [window.WebGLRenderingContext, window.WebGL2RenderingContext]) {
      for (const name of Object.getOwnPropertyNames(kind.prototype)) {
        const method = Object.getOwnPropertyDescriptor(kind.prototype, name);
        if (typeof method.value !== 'function' || name === 'constructor') continue;
        kind.prototype[name] = function (...args) {
          ++window.glCalls;
          return method.value.apply(this, args);
        };
      }
    }
  });
  const tab = await context.newPage();
  await tab.goto(address);
  await tab.waitForFunction(() => {
    const line = window.Module?.calledRun && Module.UTF8ToString(Module._tidewick_world_line());
    return line && JSON.parse(line).numTrash >= 3;
  }, null, { timeout: 120000, polling: 500 });
  const cdp = await context.newCDPSession(tab);
  await cdp.send('Emulation.setCPUThrottlingRate', { rate: slowdown });
  const cpuBefore = chromiumCpu();
  const { pictures, busy, msAPicture, callsAPicture } = await tab.evaluate((seconds) => new Promise((done) => {
    let count = 0;
    const start = performance.now();
    const busyBefore = window.frameMs;
    const [callsBefore, drawnBefore] = [window.glCalls, window.glPictures];
    const frame = (now) => {
      ++count;
      if (now - start < seconds * 1000) {
        requestAnimationFrame(frame);
        return;
      }
      const drawn = window.glPictures - drawnBefore;
      done({
        pictures: count / ((now - start) / 1000),
        busy: (window.frameMs - busyBefore) / (now - start),
        msAPicture: (window.frameMs - busyBefore) / drawn,
        callsAPicture: (window.glCalls - callsBefore) / drawn,
      });
    };
    requestAnimationFrame(frame);
  }), kBusySeconds);
  const cpu = (chromiumCpu() - cpuBefore) / kBusySeconds;
  await context.close();
  return `${pictures.toFixed(1)} pictures a second, main thread ${(busy * 100).toFixed(0)} % busy ` +
    `(${msAPicture.toFixed(1)} ms a picture), ${callsAPicture.toFixed(0)} WebGL calls a picture, ` +
    `Chromium's processes ${(cpu * 100).toFixed(0)} % of one core`;
}

console.log(`busy round at 960 x 640: ${await busyRound({ viewport: { width: 960, height: 640 } })}`);
// A small phone held in landscape, its CPU four times slower than this one's: at three pixels a
// point, and at one, where SwiftShader has a ninth of the pixels to fill.
const phone = (deviceScaleFactor) =>
  ({ viewport: { width: 568, height: 320 }, deviceScaleFactor, isMobile: true, hasTouch: true });
for (const scale of [3, 1]) {
  console.log(`busy round on a phone, 568 x 320 points at ${scale} pixel${scale > 1 ? 's' : ''} a point, CPU slowed 4x: ` +
    `${await busyRound(phone(scale), 4)}`);
}
// At three pixels a point SwiftShader cannot fill every picture, and the main thread waits for it
// inside the context's calls; with nothing to fill, what is left is the page's own work.
console.log(`the same at 3 pixels a point with nothing filled: ${await busyRound(phone(3), 4, true)}`);
await browser.close();
server.close();
