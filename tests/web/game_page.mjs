// What the page's tests read of the game in a page and how they wait for it, in any browser
// engine: a page here is one with the few verbs of playwright-core's page (evaluate, goto, reload,
// mouse, keyboard, screenshot), which puppeteer-core's shares and engines.mjs gives WebKit's.
// Also the desktop's game, whose dumps and pictures the page's must equal.
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { fileURLToPath } from 'node:url';
import { promisify } from 'node:util';

export const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
export const pageFolder = process.env.TIDEWICK_PAGE ?? join(root, 'build-web/page');
const desktopGame = process.env.TIDEWICK_GAME ?? join(root, 'build/session/tidewick');

// The desktop's game, run without holding up the pages' tests meanwhile, and at the lowest CPU
// priority. Resolves to its output; rejects with its stderr.
export const runDesktopGame = (args) => promisify(execFile)('nice', ['-n', '19', desktopGame, ...args], {
  env: { ...process.env, ALSOFT_DRIVERS: 'null' },
});

// The dump of `script` (a path from the repository's top) as the desktop's replay writes it.
export async function desktopDump(script) {
  const work = mkdtempSync(join(tmpdir(), 'tidewick-dump-'));
  try {
    await runDesktopGame(['replay', join(root, script), '--dump', join(work, 'dump.jsonl')]);
    return readFileSync(join(work, 'dump.jsonl'), 'utf8');
  } finally {
    rmSync(work, { recursive: true, force: true });
  }
}

// The frames a recording made in `page` (at the path `recording`) replays to on the desktop: the
// lines of its dump before the final one, each the same as the line there of the page's own dump
// (a page opened with ?dump=1).
export async function replayedAsPlayed(page, recording) {
  const live = (await page.evaluate(() => Module.FS.readFile('/tmp/live-dump.jsonl',
    { encoding: 'utf8' }))).split('\n');
  const dump = `${recording}.dump.jsonl`;
  await runDesktopGame(['replay', recording, '--dump', dump]);
  const frames = readFileSync(dump, 'utf8').split('\n')
    .filter((line) => line && !line.startsWith('{"final"'));
  const differs = frames.findIndex((line, i) => line !== live[i]);
  assert.equal(differs, -1, `line ${differs + 1}:\n desktop: ${frames[differs]}\n page:    ${live[differs]}`);
  return frames;
}

// A dump made in a page is the desktop's, byte for byte; else the first line that differs is told.
export function assertSameDump(made, expected) {
  assert.match(made, /\n\{"final":.*\n$/, 'a dump to its end');
  if (made === expected) return;
  const page = made.split('\n'), desktop = expected.split('\n');
  const line = page.findIndex((text, i) => text !== desktop[i]);
  const [x, y] = [page[line], desktop[line] ?? ''];
  let column = 0;
  while (x[column] === y[column]) ++column;
  const near = (text) => text.slice(Math.max(0, column - 40), column + 40);
  assert.fail(`line ${line + 1} differs at column ${column + 1}:\n page:    ${near(x)}\n desktop: ${near(y)}`);
}

// What a page's console says that is a fault: an error, or a GL error WebGL warns of (a call
// GL refused). Drivers name a warning 'warning' or 'warn'.
const kGLError = /WebGL: (INVALID_|OUT_OF_MEMORY)|GL_INVALID_|GL_OUT_OF_MEMORY/;
export const consoleProblem = (type, text) =>
  type === 'error' || (type.startsWith('warn') && kGLError.test(text));

// A script for a page that counts the pictures it draws (`picturesDrawn`), run before the page's
// own.
export const countPictures = () => {
  window.picturesDrawn = 0;
  const count = () => {
    window.picturesDrawn += 1;
    requestAnimationFrame(count);
  };
  requestAnimationFrame(count);
};

// How many pictures the page has drawn since it was opened.
export const picturesOf = (page) => page.evaluate(() => window.picturesDrawn);

// What a game in the page shows: its world as a dump's line shows it (null before the launch), and
// the controls the pad and the keys step through, with the one focused.
export const worldOf = (page) => lineOf(page, '_tidewick_world_line');
export const focusOf = (page) => lineOf(page, '_tidewick_focus_line');
// Where a fingertip put down goes: each control that takes one, with the box where it does.
export const touchesOf = (page) => lineOf(page, '_tidewick_touch_line');

// The player's settings and records as the page keeps them ({} before any are stored).
export const storedSettings = (page) => page.evaluate(() => {
  const path = '/home/web_user/.config/tidewick/defaults.json';
  return Module.FS.analyzePath(path).exists ? JSON.parse(Module.FS.readFile(path, { encoding: 'utf8' })) : {};
});

// Files put in the page's storage as a player's own would be, `files` naming each path's text.
export const storeInPage = (page, files) => page.evaluate((files) => new Promise((done) => {
  for (const [path, text] of Object.entries(files)) {
    Module.FS.mkdirTree(path.slice(0, path.lastIndexOf('/')));
    Module.FS.writeFile(path, text);
  }
  Module.FS.syncfs(false, done);
}), files);

// A frame's line of a dump as the world line spells its world: without the frame's number, time,
// step and sounds.
export const worldOfFrame = (frame) =>
  frame.replace(/^\{"frame":\d+,"t":[^,]+,"dt":[^,]+,/, '{').replace(/,"sounds":\[[^\]]*\]\}$/, '}');

// Where a watched game stands, with its world as its last frame left it: null before the watcher
// has begun.
export const watchOf = (page) => page.evaluate(() => {
  if (!window.Module?.calledRun) return null;
  const line = Module.UTF8ToString(Module._tidewick_watch_line());
  return line ? { ...JSON.parse(line), world: Module.UTF8ToString(Module._tidewick_world_line()) } : null;
});

async function lineOf(page, name) {
  const line = await page.evaluate((name) => Module.UTF8ToString(Module[name]()), name);
  return line ? JSON.parse(line) : null;
}

// The page's pictures come at sixty a second, fewer on a busy machine: the game's frames follow
// them, so a wait counted in pictures gives a slowed game the time it needs.
const kPicturesASecond = 60;
// A page that draws nothing for this long is held up, not slow.
const kHeldUpMs = 60000;

// The end of what the game was given since it began, as it keeps it: a wait that fails shows it.
async function inputSoFar(page) {
  const { recording } = await keptGame(page).catch(() => ({ recording: '' }));
  return recording ? `; the input before:\n${recording.slice(-4000)}` : '';
}

// Reads the page with `read` until `wanted` holds of what it shows, for at most `seconds` of the
// page's pictures (at sixty a second: longer where they come slower). Fails at once when the page
// draws nothing for a minute.
export async function waitUntil(page, read, wanted, seconds) {
  const first = await picturesOf(page);
  let pictures = first, drawnAt = Date.now();
  for (;;) {
    // Counted before the read: the page draws on while a busy machine answers it, and a read
    // that comes within its time is judged by when it began.
    const now = await picturesOf(page);
    const shown = await read(page);
    if (shown && wanted(shown)) return shown;
    if (now !== pictures) [pictures, drawnAt] = [now, Date.now()];
    const what = `${read.name}: nothing wanted ${JSON.stringify(shown)?.slice(0, 800)}`;
    if (now - first > seconds * kPicturesASecond) {
      assert.fail(`${what} after ${now - first} pictures${await inputSoFar(page)}`);
    }
    assert.ok(Date.now() - drawnAt < kHeldUpMs, `${what}, and no picture for ${kHeldUpMs / 1000} s`);
    await sleep(250);
  }
}

export const waitForWorld = (page, wanted, seconds) => waitUntil(page, worldOf, wanted, seconds);

// The game under way, as the page keeps it in its memory and in the browser's storage: its
// recording so far and the time it was last seen at.
export const kGameInProgress = '/home/web_user/.local/state/tidewick/game-in-progress';
export const keptGame = (page) => page.evaluate(async (folder) => {
  const database = await new Promise((done, fail) => {
    const opening = indexedDB.open('/home/web_user');
    [opening.onsuccess, opening.onerror] = [() => done(opening.result), fail];
  });
  // (A database the page has not made yet has no store.)
  const seen = !database.objectStoreNames.contains('FILE_DATA') ? null : await new Promise((done) => {
    const reading = database.transaction('FILE_DATA').objectStore('FILE_DATA').get(`${folder}/seen`);
    [reading.onsuccess, reading.onerror] = [() => done(reading.result), () => done(null)];
  });
  database.close();
  const pieces = !Module.FS.analyzePath(folder).exists ? []
    : Module.FS.readdir(folder).filter((name) => name.startsWith('recording-')).sort();
  const read = (name) => Module.FS.readFile(`${folder}/${name}`, { encoding: 'utf8' });
  return {
    recording: pieces.map(read).join(''),
    seen: seen ? Number(new TextDecoder().decode(seen.contents)) : null,
  };
}, kGameInProgress);

// Waits until the browser's storage has the game as far as its last input.
export async function keptInTheBrowser(page) {
  const lastInput = ({ recording }) => Number([...recording.matchAll(/"t":([0-9.e+-]+)/g)].at(-1)[1]);
  await waitUntil(page, keptGame, (kept) => kept.seen !== null && kept.seen >= lastInput(kept), 10);
}

// The menus' controls as the focus steps through them, and a menu on screen with its `focus`-th
// control focused (-1: none).
export const kMainMenu = ['play', 'achievements', 'challenge', 'settings'];
export const kPlayMenu = ['tutorial', 'play', 'back'];
export const focusedOn = (controls, focus) => (line) =>
  line.focus === focus && line.controls.join() === controls.join();

// The page's program started: its loading (fetching, compiling) is waited for on the clock, and,
// unless `whole` is false, the rest of the game's files that come after the first picture (a page
// left before they are in drops their fetches).
export async function waitForProgram(page, { whole = true } = {}) {
  const started = whole ? () => window.Module?.calledRun && window.tidewickWhole
    : () => window.Module?.calledRun;
  for (const deadline = Date.now() + 120000; !await page.evaluate(started);) {
    assert.ok(Date.now() < deadline, 'the program started in two minutes');
    await sleep(100);
  }
}

// The page's program started, and its main menu shown (once it is loaded, in pictures).
export async function waitForMainMenu(page, how) {
  await waitForProgram(page, how);
  await waitUntil(page, focusOf, focusedOn(kMainMenu, -1), 10);
}

// What a page opened on `?replay=` ends with: the replay's dump, or the error that stopped it
// (what the desktop prints). A replay computes as fast as the browser lets it.
export async function replayOutcome(page) {
  for (const deadline = Date.now() + 10 * 60 * 1000; ;) {
    const outcome = await page.evaluate(() => (window.tidewickDone || window.tidewickError
      ? { dump: window.tidewickDump ?? null, error: window.tidewickError ?? null } : null));
    if (outcome) return outcome;
    assert.ok(Date.now() < deadline, 'the replay ends in ten minutes');
    await sleep(250);
  }
}

// A landscape point of the game's screen as a point of the page, through the game's letterbox.
export async function pagePoint(page, [x, y]) {
  const box = await page.evaluate(() => {
    const { left, top, width, height } = document.getElementById('canvas').getBoundingClientRect();
    return { left, top, width, height };
  });
  const scale = Math.min(box.width / 480, box.height / 320);
  return { x: box.left + (box.width - 480 * scale) / 2 + x * scale,
           y: box.top + (box.height - 320 * scale) / 2 + y * scale };
}

// Pictures (PNG) decoded by the browser of `page` and measured there by `measure`, which is given
// their ImageData.
export function measurePictures(page, pictures, measure) {
  return page.evaluate(async ([encoded, measureSource]) => {
    const decode = async (base64) => {
      const image = new Image();
      image.src = `data:image/png;base64,${base64}`;
      await image.decode();
      const canvas = document.createElement('canvas');
      [canvas.width, canvas.height] = [image.naturalWidth, image.naturalHeight];
      const context = canvas.getContext('2d');
      context.drawImage(image, 0, 0);
      return context.getImageData(0, 0, canvas.width, canvas.height);
    };
    // eslint-disable-next-line no-new-func
    return new Function(`return (${measureSource})`)()(await Promise.all(encoded.map(decode)));
  }, [pictures.map((picture) => Buffer.from(picture).toString('base64')), measure.toString()]);
}

// The root-mean-square difference of two pictures of one size, in levels of 255, and the number
// of pixels that differ at all.
export const difference = ([x, y]) => {
  if (x.width !== y.width || x.height !== y.height) return { sizes: [x.width, x.height, y.width, y.height] };
  let sum = 0, differing = 0;
  for (let i = 0; i < x.data.length; i += 4) {
    let pixelDiffers = false;
    for (let c = 0; c < 3; ++c) {
      const d = x.data[i + c] - y.data[i + c];
      sum += d * d;
      pixelDiffers ||= d !== 0;
    }
    if (pixelDiffers) ++differing;
  }
  return { rmse: Math.sqrt(sum / (x.width * x.height * 3)), differing };
};

// How many colours a picture has: a blank canvas has one.
export const colours = ([x]) => {
  const seen = new Set();
  for (let i = 0; i < x.data.length; i += 4) seen.add((x.data[i] << 16) | (x.data[i + 1] << 8) | x.data[i + 2]);
  return seen.size;
};
