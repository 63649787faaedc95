// The page in headless Chromium on this machine: its files raw and gzip-compressed, the time from
// navigation to the first picture (the menu), and a busy round at 960 x 640 (the demo's game):
// pictures a second and the CPU of Chromium's processes. node bench/page_bench.mjs after
// scripts/web (bench/run does both).
import { readdirSync, readFileSync, statSync } from 'node:fs';
import { join, resolve, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';

import { launchChromium } from '../tests/web/chromium.mjs';
import { serve } from '../web/serve.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const page = join(root, 'build-web/page');
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

// The demo starts after half a minute on the menu; its game is a busy round soon after.
const context = await browser.newContext({ viewport: { width: 960, height: 640 } });
const tab = await context.newPage();
await tab.goto(address);
await tab.waitForFunction(() => {
  const line = window.Module?.calledRun && Module.UTF8ToString(Module._tidewick_world_line());
  return line && JSON.parse(line).numTrash >= 3;
}, null, { timeout: 120000, polling: 500 });
const cpuBefore = chromiumCpu();
const frames = await tab.evaluate((seconds) => new Promise((done) => {
  let count = 0;
  const start = performance.now();
  const frame = (now) => {
    ++count;
    if (now - start < seconds * 1000) requestAnimationFrame(frame);
    else done(count / ((now - start) / 1000));
  };
  requestAnimationFrame(frame);
}), kBusySeconds);
const cpu = (chromiumCpu() - cpuBefore) / kBusySeconds;
console.log(`busy round at 960 x 640: ${frames.toFixed(1)} pictures a second, ` +
  `Chromium's processes ${(cpu * 100).toFixed(0)} % of one core`);
await browser.close();
server.close();
