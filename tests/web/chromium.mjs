// Debian's Chromium, headless, as the page's tests and benchmark drive it: WebGL through
// SwiftShader, nothing fetched from elsewhere, sound allowed to start without a gesture. A browser
// `inBackground` runs at the lowest CPU priority.
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

export function launchChromium({ inBackground = false } = {}) {
  return chromium.launch({
    executablePath: inBackground
      ? join(dirname(fileURLToPath(import.meta.url)), 'background-chromium')
      : '/usr/bin/chromium',
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--no-first-run', '--autoplay-policy=no-user-gesture-required'],
  });
}
