// The page in headless Chromium (Debian's, driven by playwright-core): replays give the desktop's
// dumps byte for byte, the menu shows, keys and clicks reach a game, records outlive a reload,
// and the console stays clean. node --test tests/web/page_test.mjs, after scripts/web and the
// desktop build (TIDEWICK_PAGE and TIDEWICK_GAME name others).
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import {
  appendFileSync, cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, symlinkSync, writeFileSync,
} from 'node:fs';
import { tmpdir } from 'node:os';
import { setTimeout as sleep } from 'node:timers/promises';
import { basename, join } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { isDeepStrictEqual, promisify } from 'node:util';
import { deflateSync, gzipSync, inflateSync } from 'node:zlib';

import { serve } from '../../web/serve.mjs';
import { launchChromium } from './chromium.mjs';
import {
  assertSameDump, colours, consoleProblem, countPictures, desktopDump, difference, focusedOn,
  focusOf, kGameInProgress, keptGame, keptInTheBrowser, kMainMenu, kPlayMenu, measurePictures,
  pageFolder, pagePoint, picturesOf, replayedAsPlayed, replayOutcome, root, runDesktopGame,
  storedSettings, storeInPage, touchesOf, waitForMainMenu, waitForProgram, waitForWorld, waitUntil,
  watchOf, worldOf, worldOfFrame,
} from './game_page.mjs';

// Scripts kept in the repository, and one that hands a ten-minute game to the built-in player:
// the longest first, so that the others replay beside it.
const keptScripts = [
  'tests/web/bot-ten-minutes.json',
  'tests/session/same_numbers/bot-two-minutes.json',
  'packaging/screenshots/a-game.json',
  'tests/session/same_numbers/live-play.json',
  'packaging/screenshots/the-tutorial.json',
];

// Games played live run on the wall clock and must answer the test in time: their browsers run
// ahead of the replays' (`computing`), which take what is left of the machine. Phones, three
// pixels a point, have a browser of their own: each browser draws all its pages in one GPU
// process, and a phone's pages there held back the small desktop pages' pictures for seconds.
let site, server, address, browser, phones, computing;

before(async () => {
  // The page's files and the scripts side by side, as a host would serve them.
  site = mkdtempSync(join(tmpdir(), 'tidewick-site-'));
  for (const file of readdirSync(pageFolder)) symlinkSync(join(pageFolder, file), join(site, file));
  for (const script of keptScripts) symlinkSync(join(root, script), join(site, basename(script)));
  writeFileSync(join(site, 'malformed.json'), '{"seed": 1, "duration": "long"}');
  ({ server, address } = await serve(site));
  browser = await launchChromium();
  phones = await launchChromium();
  computing = await launchChromium({ inBackground: true, soundWithoutGesture: true });
});

after(async () => {
  await browser?.close();
  await phones?.close();
  await computing?.close();
  server?.close();
  if (site) rmSync(site, { recursive: true, force: true });
});

// A new page whose console errors and uncaught exceptions are collected, and which counts the
// pictures it draws.
async function openPage(context = browser) {
  const page = await context.newPage();
  await page.addInitScript(countPictures);
  const problems = [];
  page.on('console', (message) => {
    if (consoleProblem(message.type(), message.text())) problems.push(`console: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`page: ${error.message}`));
  return { page, problems };
}

// Navigations that return once the page's answer comes: its loading (fetching, compiling) is
// then waited for on the clock, long, as a busy machine needs.
const kLoadingOnTheClock = { waitUntil: 'commit' };

async function replayInPage(name) {
  const { page, problems } = await openPage(computing);
  await page.goto(`${address}index.html?replay=${name}`, kLoadingOnTheClock);
  const outcome = await replayOutcome(page);
  await page.close();
  return { ...outcome, problems };
}

test('the page\'s server answers its own files only', async () => {
  const status = async (path) => (await fetch(address + path)).status;
  assert.equal(await status('index.html'), 200);
  assert.equal((await fetch(`${address}index.wasm`)).headers.get('content-type'), 'application/wasm');
  assert.equal(await status('%2e%2e/%2e%2e/etc/passwd'), 404);
  assert.equal(await status('..%2f..%2fetc%2fpasswd'), 403);
  assert.equal(await status('%E0%A4%A'), 400);
  assert.equal(await status('no-such-file'), 404);

  // The build's compressed copies go to a browser that takes them, and what a browser kept is
  // "not modified" while the file is the same.
  const program = readFileSync(join(pageFolder, 'index.wasm'));
  const fetchProgram = (headers) => fetch(`${address}index.wasm`, { headers });
  for (const encoding of ['br', 'gzip', 'identity']) {
    const response = await fetchProgram({ 'Accept-Encoding': encoding });
    assert.equal(response.headers.get('content-encoding'), encoding === 'identity' ? null : encoding);
    assert.ok(Buffer.from(await response.arrayBuffer()).equals(program), encoding);
    const kept = { 'Accept-Encoding': encoding, 'If-None-Match': response.headers.get('etag') };
    assert.equal((await fetchProgram(kept)).status, 304);
  }
});

// A script for a page that stands in for the browser's animation frames: it hands them
// `window.frameRate` times a second, as a screen refreshing so often would, and counts in
// `framesHanded` those that came on time (a machine that fell behind gives no verdict) and, of
// them, those in which WebGL drew.
const handFramesAtARate = () => {
  window.frameRate = 60;
  window.framesHanded = { given: 0, drawn: 0 };
  let draws = 0;
  for (const kind of [window.WebGLRenderingContext, window.WebGL2RenderingContext]) {
    for (const name of ['drawArrays', 'drawElements']) {
      const draw = kind.prototype[name];
      kind.prototype[name] = function (...args) {
        ++draws;
        return draw.apply(this, args);
      };
    }
  }
  let waiting = [], due = performance.now();
  window.requestAnimationFrame = (callback) => waiting.push(callback);
  const frame = () => {
    const now = performance.now(), before = draws;
    const onTime = now - due < 500 / window.frameRate;
    const callbacks = waiting;
    waiting = [];
    for (const callback of callbacks) callback(now);
    if (onTime) {
      window.framesHanded.given += 1;
      window.framesHanded.drawn += draws > before ? 1 : 0;
    }
    due = Math.max(due + 1000 / window.frameRate, performance.now());
    setTimeout(frame, due - performance.now());
  };
  setTimeout(frame, 0);
};

// The box an element of the page fills, in CSS pixels (null while it or a parent is hidden), and
// whether two such boxes lie apart.
const boxOf = (page, selector) => page.evaluate((selector) => {
  const element = document.querySelector(selector);
  if (!element || element.closest('[hidden]')) return null;
  const { left, top, right, bottom, width, height } = element.getBoundingClientRect();
  return { left, top, right, bottom, width, height };
}, selector);
const apart = (a, b) => a.right <= b.left || a.left >= b.right || a.bottom <= b.top || a.top >= b.bottom;

// Games played live in a page of one pixel a point (480 x 320): the least drawing for the browser.
const kLiveViewport = { width: 480, height: 320 };

// Waits while the page draws `count` more pictures: the game's time, however slowly they come.
async function picturesPass(page, count) {
  const pictures = await picturesOf(page);
  await waitUntil(page, picturesOf, (drawn) => drawn - pictures >= count, count / 30);
}

// The world at rest: the same over twenty of the page's pictures, however slowly a busy machine
// draws them (a page held up draws none, and its world stands still without resting).
async function restingWorld(page) {
  let world = await worldOf(page), since = await picturesOf(page);
  const worldAtRest = async () => {
    const now = await worldOf(page), pictures = await picturesOf(page);
    if (!isDeepStrictEqual(now, world)) [world, since] = [now, pictures];
    return pictures - since >= 20 ? world : null;
  };
  return waitUntil(page, worldAtRest, () => true, 15);
}

// The game put `away` (a hidden page, a phone held upright) waits: its world comes to
// rest and stays so over a further thirty pictures, until it is brought `back`, and then it goes
// on. A page behind the wall clock still plays what fell due before it was put away.
async function waitsWhileAway(page, what, away, back) {
  await away();
  const waiting = await restingWorld(page);
  await picturesPass(page, 30);
  assert.deepEqual(await worldOf(page), waiting, `nothing moves while ${what}`);
  await back();
  await waitForWorld(page, (world) => !isDeepStrictEqual(world, waiting), 10);
}

// The page at `path` of `site` opened, its program started and its main menu shown (`how`: as
// waitForMainMenu takes it).
async function openOnMainMenu(page, path = '', site = address, how = {}) {
  await page.goto(site + path, kLoadingOnTheClock);
  await waitForMainMenu(page, how);
}

// From the main menu to a round under way: the main menu's play button by a click, the play
// menu's play by keys.
async function playFromMainMenu(page) {
  const play = await pagePoint(page, [360, 130]);
  await page.mouse.click(play.x, play.y);
  await waitUntil(page, focusOf, focusedOn(kPlayMenu, -1), 10);
  for (const focus of [0, 1]) {
    await page.keyboard.press('ArrowDown');
    await waitUntil(page, focusOf, focusedOn(kPlayMenu, focus), 10);
  }
  await page.keyboard.press('Enter');
  // The round's title counts down as pictures are drawn: a page held back needs longer.
  await waitForWorld(page, (world) => world.state === 2 && world.round === 1, 30);
}

// A phone in Chromium's mobile emulation: a small phone held in landscape, three pixels a point,
// a touch screen; and the same phone as CDP's device metrics describe it.
const kPhoneViewport = { width: 568, height: 320 };
const kPhoneContext = { viewport: kPhoneViewport, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
const kPhoneMetrics = { ...kPhoneViewport, deviceScaleFactor: 3, mobile: true };

async function openPhone() {
  const context = await phones.newContext(kPhoneContext);
  return { context, ...await openPage(context) };
}

// A phone's pictures, kept for a person to look at when TIDEWICK_SHOTS names a folder.
async function screenshot(page, name) {
  if (process.env.TIDEWICK_SHOTS) await page.screenshot({ path: join(process.env.TIDEWICK_SHOTS, `${name}.png`) });
}

const tapAt = async (page, x, y) => {
  const point = await pagePoint(page, [x, y]);
  await page.touchscreen.tap(point.x, point.y);
};

// Two taps as quick as a thumb makes them: sent together, neither waiting for the browser's
// answer to the one before, which a busy page may be slow to give.
async function doubleTapAt(page, x, y) {
  const cdp = await page.context().newCDPSession(page);
  const touchPoints = [{ ...await pagePoint(page, [x, y]), id: 1 }];
  await Promise.all(['touchStart', 'touchEnd', 'touchStart', 'touchEnd'].map((type) =>
    cdp.send('Input.dispatchTouchEvent', { type, touchPoints: type === 'touchEnd' ? [] : touchPoints })));
  await cdp.detach();
}

// One finger put down at the first landscape point, moved through the others, held while
// `holding` runs, and lifted.
async function swipe(cdp, page, points, holding = async () => {}) {
  const at = async (point) => [{ ...await pagePoint(page, point), id: 1 }];
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: await at(points[0]) });
  for (const point of points.slice(1)) {
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: await at(point) });
  }
  await holding();
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
}

// The phone's motion as the standard reports it (the force holding it up, m/s²): turned with its
// top to the left, the top (its left edge as the player sees it) 30 degrees down.
const kLeftEdgeDown = { x: 0, y: -4.9, z: 8.5 };

// The phone held so, reported twenty times a second until the game's world is `wanted`.
async function tilt(page, reading, wanted) {
  const timer = await page.evaluateHandle((reading) => setInterval(() => window.dispatchEvent(
    new DeviceMotionEvent('devicemotion', { accelerationIncludingGravity: reading, interval: 50 })), 50),
  reading);
  try {
    return await waitForWorld(page, wanted, 15);
  } finally {
    await page.evaluate((timer) => clearInterval(timer), timer);
  }
}

describe('the page', { concurrency: 3 }, () => {
  describe('replays in the page', { concurrency: 2 }, () => {
    for (const script of keptScripts) {
      test(`${basename(script)} gives the desktop's dump, byte for byte`, async () => {
        const expected = await desktopDump(script);
        const { dump, error, problems } = await replayInPage(basename(script));
        assert.equal(error, null);
        assertSameDump(dump, expected);
        assert.deepEqual(problems, []);
      });
    }

    for (const name of ['malformed.json', 'no-such-script.json']) {
      test(`${name} is refused with the desktop's message`, async () => {
        const { dump, error } = await replayInPage(name);
        assert.equal(dump, null);
        let desktop = 'no error';
        try {
          await runDesktopGame(['replay', join(site, name)]);
        } catch (failure) {
          desktop = failure.stderr.split('\n')[0];
        }
        assert.equal(error, desktop.replace(join(site, name), `/${name}`));
      });
    }
  });

  describe('the page, played', { concurrency: 3 }, () => {
    // Phones' pages, three pixels a point, are the costliest for a browser drawing without a
    // GPU: one at a time, the longest last.
    describe('on phones', { concurrency: 1 }, () => {
      test('on a phone that gives no motion, a finger on the bottom strip steers', async () => {
        const { context, page, problems } = await openPhone();
        await openOnMainMenu(page);
        await tapAt(page, 360, 130);
        await waitUntil(page, focusOf, focusedOn(kPlayMenu, -1), 10);
        await tapAt(page, 240, 174);
        await waitForWorld(page, (world) => world.state === 2, 10);
        const cdp = await context.newCDPSession(page);
        // Each finger goes down with time left in a round and moves a little, as a thumb does; on
        // a busy machine the round may still end under it: the crab stands still through the
        // round's change and follows the finger in the next.
        const kRoundAndChange = 30;
        const inPlay = (world) => world.state === 2 && world.levelTime > 5;
        await waitForWorld(page, inPlay, kRoundAndChange);
        await swipe(cdp, page, [[400, 305], [440, 305]], async () => {
          await waitForWorld(page, (world) => world.state === 2 && world.crab.x > 330, kRoundAndChange);
        });
        await waitForWorld(page, inPlay, kRoundAndChange);
        await swipe(cdp, page, [[80, 305], [60, 305]], async () => {
          await waitForWorld(page, (world) => world.state === 2 && world.crab.x < 150, kRoundAndChange);
        });
        await context.close();
        assert.deepEqual(problems, []);
      });

      // A window of the game's own size fetches the art at 2x; a phone of three pixels a point, at 4x.
      test('the first picture needs at most 3 MB, compressed, from the server, on a desktop and a phone', async () => {
        for (const [screen, options] of [['desktop', { viewport: { width: 960, height: 640 } }],
          ['phone', kPhoneContext]]) {
          const context = await phones.newContext(options);
          const { page, problems } = await openPage(context);
          const fetched = new Map();
          page.on('response', async (response) => {
            const body = await response.body().catch(() => Buffer.alloc(0));
            fetched.set(new URL(response.url()).pathname, body);
          });
          await page.goto(address);
          await page.waitForFunction(() => window.tidewickFirstPicture, null, { timeout: 120000 });
          await context.close();
          let raw = 0, compressed = 0;
          for (const [, body] of fetched) {
            raw += body.length;
            compressed += gzipSync(body, { level: 9 }).length;
          }
          console.log(`${screen}: first picture after ${fetched.size} files: ${raw} bytes, ${compressed} gzip-compressed`);
          assert.ok(compressed <= 3e6, `${screen}: ${compressed} bytes`);
          assert.deepEqual(problems, []);
        }
      });

      test('on a phone: tap to start, the tutorial and menus by tap, a game steered by tilt both ' +
           'landscape ways, turned upright it waits, lost, saved and replayed on the desktop, ' +
           'the record kept after a reload', async () => {
        const { context, page, problems } = await openPhone();
        await openOnMainMenu(page, 'index.html?dump=1');
        await screenshot(page, 'phone-main-menu');
        // The first tap starts the sound (the emulated page may have it already).
        await tapAt(page, 60, 300);
        await page.waitForSelector('#tap', { state: 'hidden', timeout: 30000 });

        // The tutorial from the play menu, tapped through back to it, then a game.
        await tapAt(page, 360, 130);
        await waitUntil(page, focusOf, focusedOn(kPlayMenu, -1), 10);
        await tapAt(page, 240, 124);
        await waitUntil(page, focusOf, (line) => line.controls.length === 0, 10);
        await picturesPass(page, 30);
        await screenshot(page, 'phone-tutorial');
        for (let taps = 0; taps < 6 && !focusedOn(kPlayMenu, -1)(await focusOf(page)); ++taps) {
          await tapAt(page, 240, 160);
          await picturesPass(page, 42);
        }
        await waitUntil(page, focusOf, focusedOn(kPlayMenu, -1), 10);
        await tapAt(page, 240, 174);
        await waitForWorld(page, (world) => world.state === 2, 10);

        // Turned with its top to the left, the phone's left edge down walks Nerin left; turned the
        // other way, the same reading is its right edge down.
        await tilt(page, kLeftEdgeDown, (world) => world.crab.x < 150);
        await screenshot(page, 'phone-game');
        const cdp = await context.newCDPSession(page);
        await cdp.send('Emulation.setDeviceMetricsOverride', { ...kPhoneMetrics,
          screenOrientation: { type: 'landscapeSecondary', angle: 270 } });
        await tilt(page, kLeftEdgeDown, (world) => world.crab.x > 330);
        // A finger moved and lifted throws (what the claws hold, if anything).
        await swipe(cdp, page, [[200, 150], [230, 150]]);

        // Held upright, the turn card shows and the game waits; turned back, it goes on.
        await waitsWhileAway(page, 'the phone is upright', async () => {
          await page.setViewportSize({ width: kPhoneViewport.height, height: kPhoneViewport.width });
          await page.waitForSelector('#turn', { state: 'visible', timeout: 30000 });
          await screenshot(page, 'phone-upright');
        }, async () => {
          await page.setViewportSize(kPhoneViewport);
          await page.waitForSelector('#turn', { state: 'hidden', timeout: 30000 });
        });

        // Left alone, the trash takes the babies: the game ends with its rank and a score on record.
        const over = await waitForWorld(page, (world) => world.state === 0 && world.round > 0, 300);
        await picturesPass(page, 60);
        await screenshot(page, 'phone-game-over');
        assert.equal((await storedSettings(page)).score, over.score);

        // "save this game" is a fingertip across, and clear of the score in the game's top right
        // (its widest, 100 x 60 points) at every size the page places it.
        await page.waitForSelector('#save', { state: 'visible', timeout: 30000 });
        for (const viewport of [kPhoneViewport, { width: 844, height: 390 }, { width: 960, height: 640 },
          { width: 1000, height: 560 }]) {
          await page.setViewportSize(viewport);
          // The page places it as it hears of the new size, before the next frame.
          await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => done())));
          const save = await boxOf(page, '#save');
          const [from, to] = [await pagePoint(page, [380, 0]), await pagePoint(page, [480, 60])];
          const size = `${viewport.width} x ${viewport.height}`;
          if (process.env.TIDEWICK_SHOTS) {
            await picturesPass(page, 10);  // the game drawn anew at the new size
            await screenshot(page, `phone-game-over-${viewport.width}x${viewport.height}`);
          }
          assert.ok(save.width >= 44 && save.height >= 44, `${size}: save is ${save.width} x ${save.height}`);
          assert.ok(apart(save, { left: from.x, top: from.y, right: to.x, bottom: to.y }),
            `${size}: save over the score`);
        }
        await page.setViewportSize(kPhoneViewport);

        // The game saved from the page replays on the desktop to the page's own dump.
        const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save')]);
        const work = mkdtempSync(join(tmpdir(), 'tidewick-phone-'));
        try {
          const saved = join(work, download.suggestedFilename());
          await download.saveAs(saved);
          // The replay ends where the game did, with its final line; the page went on.
          // At least half a minute of game: how long it lasts depends on how the loaded machine
          // paced the tilts, so no more is asked.
          const frames = await replayedAsPlayed(page, saved);
          assert.ok(frames.length > 600, `${frames.length} frames`);

          // "share this game" hands the phone's share sheet a link that holds the same game, and
          // the link opens a page that plays it.
          await page.evaluate(() => {
            navigator.share = async (shared) => { window.shared = shared; };
          });
          await page.click('#share');
          const link = await (await page.waitForFunction(() => window.shared?.url)).jsonValue();
          const fragment = new URL(link).hash.slice('#watch='.length);
          assert.equal(inflateSync(Buffer.from(fragment, 'base64url')).toString(), readFileSync(saved, 'utf8'));
          const { page: watching, problems: watchingProblems } = await openPage();
          await watching.goto(link, kLoadingOnTheClock);
          const watched = await waitUntil(watching, watchOf, (watch) => watch.time > 1, 30);
          assert.ok(watched.duration >= frames.length / 20, `a game of ${watched.duration} s watched`);
          await watching.close();
          assert.deepEqual(watchingProblems, []);
        } finally {
          rmSync(work, { recursive: true, force: true });
        }

        await page.reload();
        await waitForMainMenu(page);
        assert.equal((await storedSettings(page)).score, over.score, 'the record after a reload');
        await context.close();
        assert.deepEqual(problems, []);
      });
    });

    // Fingertips are about 44 CSS pixels across: every control answers at least that much, the
    // page's own words and buttons lie over none, on a small phone and a large one.
    for (const viewport of [kPhoneViewport, { width: 844, height: 390 }]) {
      const size = `${viewport.width}x${viewport.height}`;
      test(`on a ${size} phone every control answers a fingertip and nothing lies over one`, async () => {
        const context = await phones.newContext({ ...kPhoneContext, viewport });
        const { page, problems } = await openPage(context);
        // The controls on screen as a finger finds them, and what of the page lies over the game.
        const fingertips = async (screen, over = []) => {
          await screenshot(page, `phone-${size}-${screen}`);
          const { controls } = await touchesOf(page);
          assert.ok(controls.length > 0, `${screen}: controls`);
          for (const { name, box: [, , width, height] } of controls) {
            assert.ok(width >= 44 && height >= 44, `${screen}: ${name} answers ${width} x ${height} px`);
          }
          const origin = await pagePoint(page, [0, 0]);
          for (const selector of over) {
            const shown = await boxOf(page, selector);
            assert.ok(shown, `${screen}: ${selector} shown`);
            for (const { name, box: [x, y, width, height] } of controls) {
              const [left, top] = [origin.x + x, origin.y + y];
              assert.ok(apart(shown, { left, top, right: left + width, bottom: top + height }),
                `${screen}: ${selector} over ${name}`);
            }
          }
        };
        await openOnMainMenu(page);
        // "tap to start" shows while the browser holds the sound back, which headless Chromium
        // does not: it is shown here by hand.
        const showTap = (shown) => page.evaluate((shown) => {
          document.getElementById('tap').hidden = !shown;
        }, shown);
        await showTap(true);
        await fingertips('main-menu', ['#tap span']);
        await showTap(false);
        await tapAt(page, 360, 268);
        await waitUntil(page, focusOf, (line) => line.controls.includes('slider'), 10);
        await fingertips('settings');
        await tapAt(page, 360, 264);
        await waitUntil(page, focusOf, focusedOn(kMainMenu, -1), 10);
        await tapAt(page, 360, 130);
        await waitUntil(page, focusOf, focusedOn(kPlayMenu, -1), 10);
        await fingertips('play-menu');
        // The tutorial has no control: a tap anywhere goes on, as its hint says once a scene is shown.
        await tapAt(page, 240, 124);
        await waitUntil(page, focusOf, (line) => line.controls.length === 0, 10);
        await picturesPass(page, 90);
        await screenshot(page, `phone-${size}-tutorial`);
        assert.deepEqual((await touchesOf(page)).controls, [], 'tutorial: controls');
        for (let taps = 0; taps < 6 && !focusedOn(kPlayMenu, -1)(await focusOf(page)); ++taps) {
          await tapAt(page, 240, 160);
          await picturesPass(page, 42);
        }
        await waitUntil(page, focusOf, focusedOn(kPlayMenu, -1), 10);
        await tapAt(page, 240, 174);
        await waitForWorld(page, (world) => world.state === 2, 10);
        await fingertips('game');
        // Paused by a double tap on the pause button, with words saying how to go on.
        await doubleTapAt(page, 26, 26);
        await waitUntil(page, touchesOf, ({ controls }) => controls.some(({ name }) => name === 'button 13'), 10);
        await picturesPass(page, 10);
        await fingertips('pause');
        await context.close();
        assert.deepEqual(problems, []);
      });
    }

    test('a browser without WebGL, or too old for the game\'s code, is told so in words', async () => {
      const refusals = [
        [() => {
          const getContext = HTMLCanvasElement.prototype.getContext;
          HTMLCanvasElement.prototype.getContext = function (kind, ...options) {
            return kind.startsWith('webgl') ? null : getContext.call(this, kind, ...options);
          };
        }, 'Tidewick needs WebGL, which this browser has turned off or does not have.'],
        // An engine without WebAssembly's exceptions finds a module with a try block invalid.
        [() => {
          const validate = WebAssembly.validate;
          WebAssembly.validate = (bytes) => !new Uint8Array(bytes).includes(6) && validate(bytes);
        }, 'Tidewick needs a newer browser than this one.'],
      ];
      for (const [without, words] of refusals) {
        const context = await browser.newContext({ viewport: kLiveViewport });
        await context.addInitScript(without);
        const { page, problems } = await openPage(context);
        await page.goto(address);
        await page.waitForFunction((words) => document.getElementById('loading').textContent === words,
          words, { timeout: 10000 });
        // Nothing of the game runs behind the words.
        await page.waitForTimeout(1000);
        assert.equal(await page.evaluate(() => Boolean(window.Module?.calledRun)), false);
        await context.close();
        assert.deepEqual(problems, []);
      }
    });

    test('a click and keys start a game, a hidden page pauses it, the demo plays', async () => {
      const context = await browser.newContext({ viewport: kLiveViewport });
      const { page, problems } = await openPage(context);
      await openOnMainMenu(page);
      // The menu drawn: a picture of many colours, not a blank canvas.
      assert.ok(await measurePictures(page, [await page.screenshot()], colours) > 100, 'the menu drawn');
      // Half a minute on the menu, and the demo's built-in player plays a round (the bot's replays
      // above play it through many); a click hands the menu back.
      await waitForWorld(page, (world) => world.state === 2, 90);
      await page.mouse.click(240, 300);
      await waitUntil(page, focusOf, focusedOn(kMainMenu, -1), 10);

      await playFromMainMenu(page);
      // The page hidden (another tab, a locked phone) pauses the game; shown again, it goes on.
      const setHidden = (hidden) => page.evaluate((hidden) => {
        Object.defineProperty(document, 'hidden', { value: hidden, configurable: true });
        Object.defineProperty(document, 'visibilityState', { value: hidden ? 'hidden' : 'visible', configurable: true });
        document.dispatchEvent(new Event('visibilitychange'));
      }, hidden);
      await waitsWhileAway(page, 'the page is hidden', () => setHidden(true), () => setHidden(false));
      await context.close();
      assert.deepEqual(problems, []);
    });

    // A game under way outlives its page: reloaded, or its GL context lost and given back (the page
    // then loads again), it comes back paused as it was left and plays on once resumed. The whole
    // game, across both, is one recording, which replays on the desktop to the page's dump.
    test('a game comes back paused as it was after a reload and after a lost GL context', async () => {
      const context = await browser.newContext({ viewport: kLiveViewport });
      const { page, problems } = await openPage(context);
      await openOnMainMenu(page, 'index.html?dump=1');
      await playFromMainMenu(page);
      const loseContext = async () => {
        const reloaded = page.waitForEvent('domcontentloaded', { timeout: 60000 });
        await page.evaluate(() => {
          const canvas = document.getElementById('canvas');
          const gl = canvas.getContext('webgl2') ?? canvas.getContext('webgl');
          const lose = gl.getExtension('WEBGL_lose_context');
          lose.loseContext();
          setTimeout(() => lose.restoreContext(), 200);
        });
        await reloaded;
      };
      const reload = () => page.reload(kLoadingOnTheClock);
      for (const [how, leave] of [['a reload', reload], ['a lost context', loseContext]]) {
        // Steered, thrown, paused, and kept by the browser.
        await page.keyboard.down('ArrowLeft');
        await picturesPass(page, 40);
        await page.keyboard.up('ArrowLeft');
        await page.keyboard.press('Space');
        await picturesPass(page, 40);
        await page.keyboard.press('Escape');
        const left = await restingWorld(page);
        await keptInTheBrowser(page);
        await leave();
        await waitForProgram(page);
        await waitForWorld(page, (world) => isDeepStrictEqual(world, left), 30);
        await picturesPass(page, 20);
        assert.deepEqual(await worldOf(page), left, `the game came back paused after ${how}`);
        await page.keyboard.press('Escape');
        await waitForWorld(page, (world) => !isDeepStrictEqual(world, left), 10);
      }

      // The recording so far, replayed on the desktop to its last input, dumps what the page did.
      const { recording } = await keptGame(page);
      const work = mkdtempSync(join(tmpdir(), 'tidewick-back-'));
      try {
        writeFileSync(join(work, 'recording.json'), recording);
        const frames = await replayedAsPlayed(page, join(work, 'recording.json'));
        assert.ok(frames.length > 80, `${frames.length} frames`);
      } finally {
        rmSync(work, { recursive: true, force: true });
      }
      await context.close();
      assert.deepEqual(problems, []);
    });

    // A browser that gives no sound, or keeps nothing, is said to once, and the game plays.
    test('with sound or storage refused, the page says so once and the game plays', async () => {
      const refusals = [
        [() => {
          Object.defineProperty(BaseAudioContext.prototype, 'state', { get: () => 'suspended' });
          AudioContext.prototype.resume = () => new Promise(() => {});
        }, 'no sound device; playing without sound'],
        [() => {
          IDBFactory.prototype.open = () => {
            throw new DOMException('The operation is insecure.', 'SecurityError');
          };
        }, 'records are kept only while the page is open'],
      ];
      // What the page says, as it shows: a busy machine may take longer to play than it shows.
      const hearSayings = () => {
        window.sayings = [];
        new MutationObserver(() => {
          const said = document.getElementById('said');
          if (said && !said.hidden) window.sayings.push(said.textContent);
        }).observe(document, { subtree: true, childList: true, attributes: true, characterData: true });
      };
      for (const [index, [refuse, words]] of refusals.entries()) {
        const context = await browser.newContext({ viewport: kLiveViewport });
        await context.addInitScript(refuse);
        await context.addInitScript(hearSayings);
        const { page, problems } = await openPage(context);
        await openOnMainMenu(page);
        // The first click starts what sound there is: "tap to start" goes, whatever comes of it.
        await playFromMainMenu(page);
        await page.waitForSelector('#tap', { state: 'hidden', timeout: 10000 });
        await page.waitForFunction((words) => window.sayings.includes(words), words,
          { timeout: 30000, polling: 100 });
        assert.deepEqual([...new Set(await page.evaluate(() => window.sayings))], [words]);
        await screenshot(page, `refused-${index}`);
        await picturesPass(page, 60);
        assert.equal((await worldOf(page)).state, 2, words);
        await context.close();
        assert.deepEqual(problems, []);
      }
    });

    // Storage refused for a while (a database closed under the page): once the browser keeps
    // things again, the game under way is kept, and comes back after a reload.
    test('storage that comes back keeps the game under way', async () => {
      const context = await browser.newContext({ viewport: kLiveViewport });
      await context.addInitScript(() => {
        const open = IDBFactory.prototype.open;
        window.refuseStorage = !sessionStorage.getItem('storageBack');
        IDBFactory.prototype.open = function (...args) {
          if (window.refuseStorage) throw new DOMException('The database is closed.', 'InvalidStateError');
          return open.apply(this, args);
        };
      });
      const { page, problems } = await openPage(context);
      await openOnMainMenu(page);
      await playFromMainMenu(page);
      await page.waitForSelector('#said', { state: 'visible', timeout: 30000 });
      await picturesPass(page, 60);
      await page.evaluate(() => {
        window.refuseStorage = false;
        sessionStorage.setItem('storageBack', 'yes');
      });
      await keptInTheBrowser(page);
      await page.reload(kLoadingOnTheClock);
      await waitForProgram(page);
      await waitForWorld(page, (world) => world.state !== 0, 30);
      await context.close();
      assert.deepEqual(problems, []);
    });

    // A game being brought back that makes the program fail is set aside: the next start shows the
    // main menu, not the game again.
    test('a game that makes the program fail as it is brought back is not offered again', async () => {
      const context = await browser.newContext({ viewport: kLiveViewport });
      const { page, problems } = await openPage(context);
      await openOnMainMenu(page);
      await playFromMainMenu(page);
      await keptInTheBrowser(page);
      // The program stops and fails while the mark of a game being brought back is there, before
      // the mark is stored.
      await page.evaluate((folder) => {
        Module.pauseMainLoop();
        Module.FS.writeFile(`${folder}/bringing-back`, '');
        setTimeout(() => {
          throw new Error('the program failed');
        });
      }, kGameInProgress);
      await page.waitForFunction((folder) => !Module.FS.analyzePath(folder).exists, kGameInProgress);
      await waitUntil(page, keptGame, (kept) => kept.seen === null, 10);
      await page.reload(kLoadingOnTheClock);
      await waitForMainMenu(page);
      await context.close();
      assert.deepEqual(problems, ['page: the program failed']);
    });

    // The browser's frames are the screen's refreshes: a phone's screen at 120 a second, or at 30
    // in power saving. Each should have its picture while the machine keeps up.
    test('a round draws a picture in nearly every frame the browser gives, at 30, 60 and 120 a second', async () => {
      const context = await browser.newContext({ viewport: kLiveViewport });
      await context.addInitScript(handFramesAtARate);
      const { page, problems } = await openPage(context);
      await openOnMainMenu(page);
      await playFromMainMenu(page);
      for (const rate of [30, 60, 120]) {
        const { given, drawn } = await page.evaluate(async (rate) => {
          window.frameRate = rate;
          await new Promise((done) => setTimeout(done, 500));
          const before = { ...window.framesHanded };
          await new Promise((done) => setTimeout(done, 4000));
          return { given: window.framesHanded.given - before.given, drawn: window.framesHanded.drawn - before.drawn };
        }, rate);
        console.log(`at ${rate} frames a second: ${drawn} of ${given} frames on time drew a picture`);
        assert.ok(given >= rate / 2, `at ${rate} a second, only ${given} frames came on time in 4 s`);
        assert.ok(drawn >= 0.9 * given, `at ${rate} a second, ${drawn} of ${given} frames drew a picture`);
      }
      assert.equal((await worldOf(page)).state, 2, 'still in the round');
      await context.close();
      assert.deepEqual(problems, []);
    });

    test('a game asked for before the sounds and the scene\'s art came starts once they are in', async () => {
      const context = await browser.newContext({ viewport: kLiveViewport });
      let letSoundsThrough;
      const soundsHeld = new Promise((resolve) => { letSoundsThrough = resolve; });
      await context.route('**/sounds/*.caf', async (route) => {
        await soundsHeld;
        await route.continue();
      });
      const { page, problems } = await openPage(context);
      const missing = [];
      page.on('console', (message) => {
        if (/stays empty|did not come/.test(message.text())) missing.push(message.text());
      });
      await openOnMainMenu(page, '', address, { whole: false });
      await page.mouse.click(360, 130);
      await page.keyboard.press('ArrowDown');
      await page.keyboard.press('ArrowDown');
      await page.keyboard.press('Enter');
      // The player sees the rest coming over the menu, which stands still, the input kept.
      await page.waitForFunction(() => !document.getElementById('loading').hidden);
      await sleep(1000);
      assert.ok(focusedOn(kMainMenu, -1)(await focusOf(page)));
      letSoundsThrough();
      const world = await waitForWorld(page, (world) => world.state === 2 && world.round === 1, 30);
      assert.equal(world.score, 0);
      assert.ok(await page.evaluate(() => document.getElementById('loading').hidden));
      assert.ok(await measurePictures(page, [await page.screenshot()], colours) > 100, 'the beach drawn');
      await context.close();
      assert.deepEqual(problems, []);
      assert.deepEqual(missing, []);
    });

    test('once visited, the page starts and plays offline; a build deployed later runs whole', async () => {
      // A host of its own, whose files the test deploys anew.
      const host = mkdtempSync(join(tmpdir(), 'tidewick-host-'));
      cpSync(pageFolder, host, { recursive: true });
      const { server: hosting, address: hosted } = await serve(host);
      const context = await browser.newContext({ viewport: kLiveViewport });
      const cacheNames = (page) => page.evaluate(() => caches.keys());
      // The page's words (a comment after its end, so outside the document's element) say which
      // build it is.
      const onBuildTwo = () => new XMLSerializer().serializeToString(document).includes('build two');
      const buildOf = () => /const kBuild = '(\w+)'/.exec(readFileSync(join(host, 'sw.js'), 'utf8'))[1];
      try {
        const first = await openPage(context);
        await openOnMainMenu(first.page, '', hosted);
        await first.page.evaluate(() => navigator.serviceWorker.ready);
        assert.deepEqual(await cacheNames(first.page), [`tidewick-${buildOf()}`]);
        await first.page.close();

        await context.setOffline(true);
        const offline = await openPage(context);
        await openOnMainMenu(offline.page, '', hosted);
        await playFromMainMenu(offline.page);
        await keptInTheBrowser(offline.page);
        await offline.page.close();
        await context.setOffline(false);

        // A new build: its page and program both changed. A visit finds it, and it is taken at a
        // start (that visit's, if found before its game's code ran, else the next), whole.
        const oldBuild = buildOf();
        for (const file of ['index.html', 'index.js']) {
          appendFileSync(join(host, file), file.endsWith('.js') ? '\n// build two\n' : '\n<!-- build two -->\n');
        }
        await promisify(execFile)('node', [join(root, 'web/finish_page.mjs'), host]);
        // The game left offline comes back, paused.
        const finding = await openPage(context);
        await finding.page.goto(hosted, kLoadingOnTheClock);
        await waitForProgram(finding.page);
        await waitForWorld(finding.page, (world) => world.state !== 0, 30);
        const newBuildWaiting = (page) => page.evaluate(() => navigator.serviceWorker.getRegistration()
          .then((registration) => registration?.waiting?.state ?? null));
        await waitUntil(finding.page, newBuildWaiting, (state) => state === 'installed', 60);
        assert.ok(!await finding.page.evaluate(onBuildTwo), 'the game that found it keeps its build');
        // It is offered while no game runs (the game stands paused), and not while one plays.
        const offered = () => !document.getElementById('update').hidden;
        await finding.page.waitForFunction(offered);
        await finding.page.keyboard.press('Escape');
        await finding.page.waitForFunction(() => document.getElementById('update').hidden);

        const taking = await openPage(context);
        await taking.page.goto(hosted, kLoadingOnTheClock);
        await taking.page.waitForFunction(onBuildTwo, null, { timeout: 60000, polling: 250 });
        // The new build brings the game under way back too: recordings replay alike in every build.
        await waitForProgram(taking.page);
        await waitForWorld(taking.page, (world) => world.state !== 0, 30);
        assert.notEqual(buildOf(), oldBuild);
        assert.deepEqual(await cacheNames(taking.page), [`tidewick-${buildOf()}`]);
        const keptProgram = await taking.page.evaluate(
          () => caches.match('index.js').then((response) => response.text()));
        assert.ok(keptProgram.endsWith('// build two\n'), 'the new build\'s program kept beside its page');
        for (const opened of [first, offline, finding, taking]) assert.deepEqual(opened.problems, []);
      } finally {
        await context.close();
        hosting.close();
        rmSync(host, { recursive: true, force: true });
      }
    });

    test('a replayed moment looks as the desktop draws it', async () => {
      const moment = 20, script = 'packaging/screenshots/a-game.json';
      const work = mkdtempSync(join(tmpdir(), 'tidewick-shot-'));
      try {
        await runDesktopGame(['replay', join(root, script), '--scale', '2',
          '--screenshot', `${moment}:${join(work, 'desktop.png')}`]);
        const context = await computing.newContext({ viewport: { width: 960, height: 640 } });
        const { page, problems } = await openPage(context);
        await page.goto(`${address}index.html?replay=${basename(script)}&until=${moment}`);
        await page.waitForFunction(() => window.tidewickShown, null, { timeout: 300000 });
        const { rmse, differing, sizes } = await measurePictures(page,
          [await page.screenshot(), readFileSync(join(work, 'desktop.png'))], difference);
        await context.close();
        assert.equal(sizes, undefined, 'pictures of one size');
        // The game draws into an RGB 565 surface: SwiftShader and Mesa's rasteriser put many blended
        // colours one step of it apart (8 levels of red or blue, 4 of green), and a few edges more.
        console.log(`page against desktop at ${moment} s: RMSE ${rmse.toFixed(3)}, ${differing} pixels differ`);
        assert.ok(rmse < 3.5, `RMSE ${rmse}`);
        assert.deepEqual(problems, []);
      } finally {
        rmSync(work, { recursive: true, force: true });
      }
    });

    test('a game pad moves through the menus; after a lost GL context the game comes back drawn', async () => {
      const context = await browser.newContext({ viewport: kLiveViewport });
      // A standard pad the page's Gamepad API reports, its buttons pressed from the test.
      await context.addInitScript(() => {
        const pad = {
          id: 'Tidewick test pad', index: 0, connected: true, mapping: 'standard', timestamp: 0,
          axes: [0, 0, 0, 0],
          buttons: Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 })),
        };
        navigator.getGamepads = () => [pad, null, null, null];
        window.pressPadButton = (button, pressed) => {
          pad.buttons[button] = { pressed, touched: pressed, value: pressed ? 1 : 0 };
          pad.timestamp += 1;
        };
      });
      const { page, problems } = await openPage(context);
      await page.goto(address);
      await waitForMainMenu(page);
      // The game samples the pad once a frame: a press lasts a few of the page's frames, however
      // slowly a busy machine draws them.
      const frames = (count) => page.evaluate((count) => new Promise((done) => {
        const frame = () => (--count > 0 ? requestAnimationFrame(frame) : done());
        requestAnimationFrame(frame);
      }), count);
      const press = async (button) => {
        await page.evaluate((button) => window.pressPadButton(button, true), button);
        await frames(4);
        await page.evaluate((button) => window.pressPadButton(button, false), button);
        await frames(4);
      };
      const kDpadDown = 13, kA = 0, kB = 1;
      // Play on the main menu; the focus comes along to the play menu's first button, the
      // tutorial. B goes back to the main menu and A comes again; one step down is play.
      const steps = [[kDpadDown, kMainMenu, 0], [kA, kPlayMenu, 0], [kB, kMainMenu, -1],
        [kDpadDown, kMainMenu, 0], [kA, kPlayMenu, 0], [kDpadDown, kPlayMenu, 1]];
      for (const [button, menu, focus] of steps) {
        await press(button);
        await waitUntil(page, focusOf, focusedOn(menu, focus), 10);
      }
      await press(kA);
      await waitForWorld(page, (world) => world.state !== 0, 10);

      // The context lost and given back: the page starts again, with the game under way.
      const startedAgain = page.waitForEvent('load', { timeout: 120000 });
      await page.evaluate(() => {
        const lose = document.getElementById('canvas').getContext('webgl').getExtension('WEBGL_lose_context');
        lose.loseContext();
        setTimeout(() => lose.restoreContext(), 300);
      });
      await startedAgain;
      await waitForProgram(page);
      await waitForWorld(page, (world) => world.state !== 0, 30);
      await picturesPass(page, 10);
      assert.ok(await measurePictures(page, [await page.screenshot()], colours) > 100, 'the game drawn again');
      await context.close();
      assert.deepEqual(problems.filter((problem) => !problem.includes('CONTEXT_LOST')), []);
    });
  });
});

// Games watched, shared and sent as challenges, in pages of their own once the live games are
// done: beside them, their live pictures held the live games' back on a loaded machine until a
// double tap came apart or a game ended under a test's finger.
describe('watching, sharing and challenges in the page', { concurrency: 1 }, () => {
  // Watching, as the desktop's watch plays a game: by the page's address, by a game's link and
  // from a file. Paused anywhere, after seeking either way and at any speed, the world is the
  // one the desktop's replay reached at that moment.
  describe('watching in the page', { concurrency: 1 }, () => {
    const kWatched = 'tests/session/same_numbers/bot-two-minutes.json';
    const linkTo = (text) => `${address}index.html#watch=${deflateSync(text, { level: 9 }).toString('base64url')}`;
    let replayed;
    before(async () => {
      replayed = (await desktopDump(kWatched)).split('\n').filter((line) => line.startsWith('{"frame"'));
    });

    // The world of the desktop's frame at `time`, as the page's world line spells it.
    const desktopWorldAt = (time) => {
      return worldOfFrame(replayed.find((line) => JSON.parse(line).t === time) ?? `no frame at ${time} s`);
    };
    // Paused by `key` (or already), the watcher's world at its last frame is the desktop replay's
    // there.
    const pausedAsReplayed = async (page, what, key = 'Space', there = () => true) => {
      if (key) await page.keyboard.press(key);
      const shown = await waitUntil(page, watchOf, (watch) => watch.paused && there(watch), 30);
      const desktop = desktopWorldAt(shown.frame);
      let column = 0;
      while (column < desktop.length && shown.world[column] === desktop[column]) ++column;
      assert.ok(shown.world === desktop, `${what}, at ${shown.time} s: from column ${column}\n` +
        ` page:    ${shown.world.slice(column - 60, column + 60)}\n desktop: ${desktop.slice(column - 60, column + 60)}`);
      return shown;
    };

    test('a kept recording by address, link and file plays as the desktop replays it, sought and sped up', async () => {
      const { page, problems } = await openPage();
      await page.goto(`${address}index.html?watch=${basename(kWatched)}`, kLoadingOnTheClock);
      await waitUntil(page, watchOf, (watch) => watch.time > 3, 30);
      const paused = await pausedAsReplayed(page, 'paused');
      const on = await pausedAsReplayed(page, '5 s on', 'ArrowRight', (watch) => watch.time > paused.time);
      assert.ok(Math.abs(on.time - paused.time - 5) < 1e-6, `${paused.time} s, then ${on.time} s`);
      // The buttons under the game as a finger gives them: x2, x4, then play.
      await page.mouse.move(480, 600);
      await page.click('#watching [data-control="3"]');
      await page.click('#watching [data-control="3"]');
      await page.click('#watching [data-control="0"]');
      await waitUntil(page, watchOf, (watch) => watch.speed === 4 && watch.time > on.time + 8, 10);
      const fast = await pausedAsReplayed(page, 'at x4');
      const back = await pausedAsReplayed(page, '5 s back', 'ArrowLeft', (watch) => watch.time < fast.time);
      assert.ok(Math.abs(fast.time - back.time - 5) < 1e-6, `${fast.time} s, then ${back.time} s`);
      // Leaving goes to the game, its records untouched.
      await Promise.all([page.waitForURL(`${address}index.html`, { waitUntil: 'commit' }),
        page.keyboard.press('Escape')]);
      await waitForMainMenu(page);
      const { score } = await storedSettings(page);
      assert.ok(!score, `a record of ${score} from the watched game`);

      // A link made of it opens the same game: put into the open page's address, the page loads
      // again on it.
      const recording = readFileSync(join(root, kWatched));
      await Promise.all([page.waitForEvent('load', { timeout: 60000 }), page.goto(linkTo(recording))]);
      await waitUntil(page, watchOf, (watch) => watch.time > 2, 30);
      await pausedAsReplayed(page, 'by link');

      // And so does the file, opened from the main menu.
      await openOnMainMenu(page);
      await page.setInputFiles('#picked', join(root, kWatched));
      await page.waitForURL(/watch-file=bot-two-minutes.json/, { timeout: 30000 });
      await waitUntil(page, watchOf, (watch) => watch.time > 2, 30);
      await pausedAsReplayed(page, 'from a file');
      await page.close();
      assert.deepEqual(problems, []);
    });

    test('"share this game" copies a link that opens the last game, or saves a game too long for one', async () => {
      const { page, problems } = await openPage();
      await page.context().grantPermissions(['clipboard-read', 'clipboard-write']);
      await openOnMainMenu(page);
      // A game too long for a link: ten minutes of tilts a phone's sensor gives.
      let tilt = 0.1;
      const tilts = Array.from({ length: 12000 }, (_, i) => {
        tilt = (tilt * 7919.123) % 1;
        return `{"t": ${(i / 20 + 1).toFixed(2)}, "tilt": ${tilt.toFixed(9)}}`;
      });
      for (const recording of [readFileSync(join(root, kWatched), 'utf8'),
        `{"seed": 5, "events": [\n${tilts.join(',\n')}]}`]) {
        await storeInPage(page, { '/home/web_user/.local/state/tidewick/last-game.json': recording });
        await page.reload();
        await waitForMainMenu(page);
        await page.waitForSelector('#share', { state: 'visible', timeout: 30000 });
        if (recording.length < 100000) {
          await page.click('#share');
          await page.waitForFunction(() => window.sayings?.length || document.getElementById('said').textContent);
          const link = await page.evaluate(() => navigator.clipboard.readText());
          assert.equal(inflateSync(Buffer.from(new URL(link).hash.slice('#watch='.length), 'base64url')).toString(),
            recording);
          continue;
        }
        const [download] = await Promise.all([page.waitForEvent('download'), page.click('#share')]);
        assert.match(download.suggestedFilename(), /^tidewick-game-.*\.json$/);
        await page.waitForFunction(() => document.getElementById('said').textContent.includes('too long for a link'));
      }
      await page.close();
      assert.deepEqual(problems, []);
    });

    test('a damaged link is refused in words, and the page then plays', async () => {
      const { page, problems } = await openPage();
      const whole = linkTo(readFileSync(join(root, kWatched)));
      const refusals = [
        [whole.slice(0, whole.length - 20), 'the link is cut short'],
        [`${address}index.html#watch=AAAA`, 'the link is damaged'],
        [`${address}index.html#watch=not!a!game`, 'the link is damaged: it is not a game\'s letters'],
        [linkTo('{"seed": 1, "events": 7}'), 'the link\'s game: '],
        [`${address}index.html?watch=no-such-game.json`, '/no-such-game.json'],
      ];
      for (const [link, words] of refusals) {
        await page.goto(link, kLoadingOnTheClock);
        await page.waitForSelector('#refused', { state: 'visible', timeout: 60000 });
        const said = await page.textContent('#refused span');
        assert.ok(said.startsWith('This game cannot be watched: ') && said.includes(words), said);
      }
      await Promise.all([page.waitForURL(`${address}index.html`, { waitUntil: 'commit' }),
        page.click('#refused button')]);
      await waitForMainMenu(page);
      await page.close();
      assert.deepEqual(problems.filter((problem) => !problem.includes('404')), []);
    });
  });

  // The challenge mail names the page on the sea of the player's best game and its score; the
  // page it opens plays its first game on that sea, as a replay of that sea does.
  test('a challenge mail brings a friend to the best game\'s sea, and a damaged one is refused', async () => {
    const { page, problems } = await openPage();
    await openOnMainMenu(page);
    // A best game of 4321 on seed 777, 5000 draws into its session, kept as a player's would be.
    await storeInPage(page, {
      '/home/web_user/.config/tidewick/defaults.json': '{"score": 4321, "level": 7}',
      '/home/web_user/.local/state/tidewick/best-game.json': '{"seed": 777, "draws": 5000, "score": 4321}',
    });
    await page.reload();
    await waitForMainMenu(page);
    await page.evaluate(() => { Module.tidewickOpenMail = (mail) => { window.mailed = mail; }; });
    for (const focus of [0, 1, 2]) {
      await page.keyboard.press('ArrowDown');
      await waitUntil(page, focusOf, focusedOn(kMainMenu, focus), 10);
    }
    await page.keyboard.press('Enter');
    const mail = await (await page.waitForFunction(() => window.mailed, null, { timeout: 30000 })).jsonValue();
    assert.ok(mail.length < 1500, `a mail link of ${mail.length} characters`);
    const body = decodeURIComponent(mail.split('&body=')[1]);
    assert.match(body, /my top score is 4321\. /);
    const challenge = body.match(/Check out the game at (\S+)$/)[1];
    assert.equal(challenge, `${address}?beat=4321.777.5000`);

    // Opened, the page says what is to be beaten and holds its demo for the game.
    const { page: friend, problems: friendsProblems } = await openPage();
    await friend.goto(`${challenge}&dump=1`, kLoadingOnTheClock);
    await waitForMainMenu(friend);
    assert.equal(await friend.textContent('#challenge'), 'a friend scored 4321 on this sea: play to beat it');
    // By keys alone: a mouse over the game would steer the crab from the first frame.
    for (const [key, menu, focus] of [['ArrowDown', kMainMenu, 0], ['Enter', kPlayMenu, 0],
      ['ArrowDown', kPlayMenu, 1]]) {
      await friend.keyboard.press(key);
      await waitUntil(friend, focusOf, focusedOn(menu, focus), 10);
    }
    await friend.keyboard.press('Enter');
    await waitForWorld(friend, (world) => world.state === 2, 30);
    await friend.waitForSelector('#challenge', { state: 'hidden' });
    const started = (dump) => worldOfFrame(dump.split('\n').find((line) => line.includes('"state":2,')));
    const live = await friend.evaluate(() => Module.FS.readFile('/tmp/live-dump.jsonl', { encoding: 'utf8' }));
    const work = mkdtempSync(join(tmpdir(), 'tidewick-challenge-'));
    try {
      const script = join(work, 'sea.json');
      writeFileSync(script, JSON.stringify({ seed: 777, draws: 5000, demoWaits: true, duration: 3,
        events: [{ t: 0.4, button: 1 }, { t: 0.9, button: 8 }] }));
      await runDesktopGame(['replay', script, '--dump', join(work, 'dump.jsonl')]);
      assert.equal(started(live), started(readFileSync(join(work, 'dump.jsonl'), 'utf8')));
    } finally {
      rmSync(work, { recursive: true, force: true });
    }
    await friend.close();

    // A challenge whose sea or score is damaged is refused in words, with a way to play.
    for (const [query, words] of [['beat=10.777', 'the link\'s sea is damaged'],
      ['beat=10.777.1e99', 'the link\'s sea is damaged'], ['beat=-4.1.2', 'the link\'s score is damaged']]) {
      await page.goto(`${address}index.html?${query}`, kLoadingOnTheClock);
      await page.waitForSelector('#refused', { state: 'visible', timeout: 60000 });
      assert.equal(await page.textContent('#refused span'), `This challenge cannot be played: ${words}.`);
    }
    await page.close();
    assert.deepEqual([...problems, ...friendsProblems], []);
  });
});
