// A new player's start on a phone's network: headless Chromium as a phone (844 x 390 points at
// three pixels a point, touch), its network shaped as 4G and as slow 3G, the page served as
// `./play --web` serves it. For each, from a new profile: the time from navigation to the first
// picture (the menu), the bytes fetched before it, and when the loading bar first moved.
// Then, on 4G, the player's return (the browser started again on its profile) and a start with
// no network at all. node bench/page_start_bench.mjs [PAGE] after scripts/web; PAGE is
// another build's page folder, to set figures side by side.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { launchChromiumWithProfile } from '../tests/web/chromium.mjs';
import { serve } from '../web/serve.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const page = resolve(process.argv[2] ?? join(root, 'build-web/page'));

const kPhone = { viewport: { width: 844, height: 390 }, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
const kNetworks = {
  '4G': { latency: 60, downloadThroughput: 9e6 / 8, uploadThroughput: 3e6 / 8 },
  'slow 3G': { latency: 400, downloadThroughput: 400e3 / 8, uploadThroughput: 400e3 / 8 },
};

// Every byte the server sends, headers included, counted on its connections.
const { server, address } = await serve(page);
const sockets = new Set();
let closedBytes = 0;
server.on('connection', (socket) => {
  sockets.add(socket);
  socket.on('close', () => {
    closedBytes += socket.bytesWritten;
    sockets.delete(socket);
  });
});
const sent = () => closedBytes + [...sockets].reduce((sum, socket) => sum + socket.bytesWritten, 0);

// The browser started on the profile in `folder`, its one tab opening the page on `network`
// (none: offline) with the CPU slowed `slowdown` times, then closed: milliseconds to the first
// picture (null if none came in two minutes), the bytes fetched before it, the bytes the server
// sent in the whole visit, and when the loading bar first moved.
async function start(folder, network, slowdown = 1) {
  const context = await launchChromiumWithProfile(folder, kPhone, { soundWithoutGesture: true });
  const tab = context.pages()[0] ?? await context.newPage();
  const cdp = await context.newCDPSession(tab);
  if (network) {
    await cdp.send('Network.enable');
    await cdp.send('Network.emulateNetworkConditions', { offline: false, ...kNetworks[network] });
  } else {
    await context.setOffline(true);
  }
  await cdp.send('Emulation.setCPUThrottlingRate', { rate: slowdown });
  const before = sent();
  let barMoved = null;
  // The page's own clock from its navigation: when its bar first moved, and its first picture.
  const look = () => tab.evaluate(() => [document.getElementById('progress')?.value ?? 0,
    window.tidewickFirstPicture ?? null, performance.now()]).catch(() => [0, null, null]);
  tab.goto(address).catch(() => null);
  let first = null;
  for (const deadline = Date.now() + 120000; first === null && Date.now() < deadline;) {
    const [bar, shown, now] = await look();
    if (bar > 0 && barMoved === null && now !== null) barMoved = now;
    first = shown;
    await new Promise((done) => setTimeout(done, 50));
  }
  // What came over the network (headers included) by the first picture, as the page timed it.
  const fetched = first === null ? null : await tab.evaluate((first) => [
    ...performance.getEntriesByType('navigation'), ...performance.getEntriesByType('resource')]
    .filter((entry) => entry.responseEnd <= first)
    .reduce((sum, entry) => sum + entry.transferSize, 0), first);
  // Whatever the page set going after its first picture (the rest of the game, its worker
  // keeping the build) ends before the player leaves.
  await new Promise((done) => setTimeout(done, 5000));
  await context.close();
  return { first, fetched, sent: sent() - before, barMoved };
}

const seconds = (ms) => (ms === null ? 'never, in two minutes' : `${(ms / 1000).toFixed(1)} s`);
const kb = (bytes) => `${(bytes / 1000).toFixed(0)} KB`;

for (const [network, slowdown] of [['4G', 1], ['4G', 4], ['slow 3G', 1]]) {
  const profile = mkdtempSync(join(tmpdir(), 'tidewick-profile-'));
  const cold = await start(profile, network, slowdown);
  const cpu = slowdown > 1 ? `, CPU slowed ${slowdown}x` : '';
  console.log(`first visit on ${network}${cpu}: first picture at ${seconds(cold.first)}, ` +
              `${kb(cold.fetched)} fetched before it; the bar first moved at ${seconds(cold.barMoved)}`);
  if (network === '4G' && slowdown === 1) {
    const again = await start(profile, network);
    console.log(`the player back on ${network}: first picture at ${seconds(again.first)}, ${kb(again.sent)} sent in the visit`);
    const offline = await start(profile, null);
    console.log(`the player back with no network: first picture at ${seconds(offline.first)}`);
  }
  rmSync(profile, { recursive: true, force: true });
}
server.close();
