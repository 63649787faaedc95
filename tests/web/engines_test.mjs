// The page in each browser engine players open it in (Chromium, Firefox, WebKit), one page each,
// on one tour: the menu drawn, a setting changed by keys, a game started by a click and keys and
// its crab walked, the setting and the game still there after a reload, a kept recording replayed
// to the desktop's dump byte for byte, and nothing said on the console. node --test
// tests/web/engines_test.mjs, on an X display, after scripts/web and the desktop build.
import assert from 'node:assert/strict';
import { mkdtempSync, readdirSync, readFileSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, join } from 'node:path';
import { after, before, describe, test } from 'node:test';

import { serve } from '../../web/serve.mjs';
import { kEngines } from './engines.mjs';
import {
  assertSameDump, colours, countPictures, desktopDump, focusedOn, focusOf, keptInTheBrowser,
  kMainMenu, kPlayMenu, measurePictures, pageFolder, pagePoint, replayOutcome, root,
  storedSettings, waitForMainMenu, waitForProgram, waitForWorld, waitUntil,
} from './game_page.mjs';

const kScript = 'tests/session/same_numbers/live-play.json';

// The page as served, with a script before its own that counts its pictures and keeps what reaches
// the console as errors: WebKit's WebDriver can neither add a script to a page nor listen to it.
const kRecorder = `<script>
(${countPictures})();
window.tidewickProblems = [];
(() => {
  const error = console.error.bind(console);
  console.error = (...words) => {
    tidewickProblems.push('console: ' + words.join(' '));
    error(...words);
  };
  addEventListener('error', (event) => tidewickProblems.push('page: ' + event.message));
  addEventListener('unhandledrejection', (event) => tidewickProblems.push('page: ' + event.reason));
})();
</script>`;

let site, server, address, expectedDump;

before(async () => {
  site = mkdtempSync(join(tmpdir(), 'tidewick-engines-'));
  for (const file of readdirSync(pageFolder)) symlinkSync(join(pageFolder, file), join(site, file));
  symlinkSync(join(root, kScript), join(site, basename(kScript)));
  const shell = readFileSync(join(pageFolder, 'index.html'), 'utf8');
  writeFileSync(join(site, 'tour.html'), shell.replace('<head>', `<head>\n${kRecorder}`));
  ({ server, address } = await serve(site));
  expectedDump = await desktopDump(kScript);
});

after(() => {
  server?.close();
  if (site) rmSync(site, { recursive: true, force: true });
});

const kSettingsMenu = ['slider', 'slider', 'credits', 'back'];

const problemsIn = (page) => page.evaluate(() => window.tidewickProblems);

// The keys pressed one by one, each followed by the menu it leads to with its focus.
async function keysThrough(page, steps) {
  for (const [key, menu, focus] of steps) {
    await page.keyboard.press(key);
    await waitUntil(page, focusOf, focusedOn(menu, focus), 10);
  }
}

async function tour(page) {
  const problems = [];
  await page.goto(`${address}tour.html`);
  await waitForMainMenu(page);
  assert.ok(await measurePictures(page, [await page.screenshot()], colours) > 100, 'the menu drawn');

  // The settings by keys: down to them, in (the focus comes along to the music's slider), the
  // music a tenth quieter, and back.
  await keysThrough(page, [...kMainMenu.map((_, focus) => ['ArrowDown', kMainMenu, focus]),
    ['Enter', kSettingsMenu, 0]]);
  const before = (await storedSettings(page)).music;
  await page.keyboard.press('ArrowLeft');
  const { music } = await waitUntil(page, storedSettings, (defaults) => defaults.music < before, 10);
  await keysThrough(page, [['Escape', kMainMenu, -1]]);

  // A game by a click on play and the play menu's play by keys; Left walks Nerin left.
  const play = await pagePoint(page, [360, 130]);
  await page.mouse.click(play.x, play.y);
  await waitUntil(page, focusOf, focusedOn(kPlayMenu, -1), 10);
  await keysThrough(page, [['ArrowDown', kPlayMenu, 0], ['ArrowDown', kPlayMenu, 1]]);
  await page.keyboard.press('Enter');
  const started = await waitForWorld(page, (world) => world.state === 2 && world.round === 1, 30);
  await page.keyboard.down('ArrowLeft');
  await waitForWorld(page, (world) => world.crab.x < started.crab.x - 40, 10);
  await page.keyboard.up('ArrowLeft');
  problems.push(...await problemsIn(page));

  // The setting and the game under way outlive the page: the game comes back, paused.
  await keptInTheBrowser(page);
  await page.reload();
  await waitForProgram(page);
  await waitForWorld(page, (world) => world.state === 2 && world.round === 1, 30);
  assert.equal((await storedSettings(page)).music, music, 'the music setting after a reload');
  problems.push(...await problemsIn(page));

  // A recording of a live game replayed in the page.
  await page.goto(`${address}tour.html?replay=${basename(kScript)}`);
  const { dump, error } = await replayOutcome(page);
  assert.equal(error, null);
  assertSameDump(dump, expectedDump);
  problems.push(...await problemsIn(page));
  return problems;
}

describe('the page in every engine', () => {
  for (const { name, launch } of kEngines) {
    test(`${name}: the menu drawn, settings and a game by keys and a click, the setting and the game kept ` +
         `through a reload, ${basename(kScript)} replayed to the desktop's dump, a clean console`, async () => {
      const engine = await launch();
      try {
        const { page, problems } = await engine.open({ width: 480, height: 320 });
        const recorded = await tour(page);
        assert.deepEqual([...problems, ...recorded], []);
      } finally {
        await engine.close();
      }
    });
  }
});
