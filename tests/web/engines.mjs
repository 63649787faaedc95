// The three browser engines the page is tried in, each launched as a browser whose `open(viewport)`
// gives a page with the verbs of playwright-core's page the tests use (goto, reload, evaluate,
// mouse.click, keyboard.press/down/up, screenshot) and the console errors its driver saw. Chromium
// is driven by playwright-core, Firefox by puppeteer-core over WebDriver BiDi, WebKitGTK's
// MiniBrowser by WebKit's own WebDriver through selenium-webdriver. Firefox and WebKit draw in
// windows on the X display ./test gives them: headless Firefox refuses WebGL on a software
// rasteriser, and MiniBrowser has no headless mode.
import { spawn } from 'node:child_process';
import { createServer } from 'node:net';
import { setTimeout as sleep } from 'node:timers/promises';

import puppeteer from 'puppeteer-core';
import { Builder, Key } from 'selenium-webdriver';

import { launchChromium } from './chromium.mjs';
import { consoleProblem } from './game_page.mjs';

// Console faults and uncaught exceptions, as a driver reports them, into `problems`.
function collectProblems(page, problems) {
  page.on('console', (message) => {
    if (consoleProblem(message.type(), message.text())) problems.push(`console: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`page: ${error.message}`));
}

async function chromium() {
  const browser = await launchChromium();
  return {
    async open(viewport) {
      const page = await (await browser.newContext({ viewport })).newPage();
      const problems = [];
      collectProblems(page, problems);
      return { page, problems };
    },
    close: () => browser.close(),
  };
}

async function firefox() {
  const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: '/usr/bin/firefox-esr',
    headless: false,
    defaultViewport: null,
  });
  return {
    async open(viewport) {
      const page = await browser.newPage();
      await page.setViewport(viewport);
      const problems = [];
      collectProblems(page, problems);
      return { page, problems };
    },
    close: () => browser.close(),
  };
}

// WebKit's WebDriver answers on a port of its own: a free one, asked of the system.
const freePort = () => new Promise((done, fail) => {
  const server = createServer().once('error', fail);
  server.listen(0, '127.0.0.1', () => {
    const { port } = server.address();
    server.close(() => done(port));
  });
});

const kWebDriverKeys = { ArrowDown: Key.ARROW_DOWN, ArrowLeft: Key.ARROW_LEFT,
                         ArrowRight: Key.ARROW_RIGHT, ArrowUp: Key.ARROW_UP, Enter: Key.ENTER,
                         Escape: Key.ESCAPE };

// A page of a classic WebDriver session, with playwright-core's verbs.
class WebDriverPage {
  constructor(driver) {
    this.driver = driver;
    const actions = () => driver.actions({ async: true });
    const key = (name) => kWebDriverKeys[name] ?? name;
    this.mouse = {
      click: (x, y) => actions().move({ x: Math.round(x), y: Math.round(y), duration: 0 }).press()
        .release().perform(),
    };
    this.keyboard = {
      press: (name) => actions().keyDown(key(name)).keyUp(key(name)).perform(),
      down: (name) => actions().keyDown(key(name)).perform(),
      up: (name) => actions().keyUp(key(name)).perform(),
    };
  }

  goto(url) {
    return this.driver.get(url);
  }

  reload() {
    return this.driver.navigate().refresh();
  }

  evaluate(fn, arg) {
    return this.driver.executeScript(`return (${fn})(arguments[0]);`, arg);
  }

  async screenshot() {
    return Buffer.from(await this.driver.takeScreenshot(), 'base64');
  }
}

async function webkit() {
  const port = await freePort();
  const server = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore' });
  const exited = new Promise((done) => server.once('exit', done));
  const address = `http://127.0.0.1:${port}`;
  for (const deadline = Date.now() + 60000; ;) {
    if (await fetch(`${address}/status`).then((response) => response.ok, () => false)) break;
    if (server.exitCode !== null || Date.now() > deadline) throw new Error('WebKitWebDriver did not start');
    await sleep(100);
  }
  let driver;
  return {
    async open({ width, height }) {
      driver = await new Builder().usingServer(address).withCapabilities({
        browserName: 'MiniBrowser',
        'webkitgtk:browserOptions': {
          binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
          args: ['--automation'],
        },
      }).build();
      await driver.manage().window().setRect({ width, height });
      return { page: new WebDriverPage(driver), problems: [] };
    },
    async close() {
      await driver?.quit();
      server.kill();
      await exited;
    },
  };
}

// Each engine by the name players know it by; `launch` starts its browser.
export const kEngines = [
  { name: 'Chromium', launch: chromium },
  { name: 'Firefox', launch: firefox },
  { name: 'WebKit', launch: webkit },
];
