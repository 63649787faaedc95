// Debian's Chromium, headless, as the page's tests and benchmark drive it: WebGL through
// SwiftShader, nothing fetched from elsewhere. A browser `inBackground` runs at the lowest CPU
// priority; one `soundWithoutGesture` lets sound start before the player does anything.
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

export function launchChromium({ inBackground = false, soundWithoutGesture = false } = {}) {
  return chromium.launch({
    executablePath: inBackground
      ? join(dirname(fileURLToPath(import.meta.url)), 'background-chromium')
      : '/usr/bin/chromium',
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--no-first-run',
      ...(soundWithoutGesture ? ['--autoplay-policy=no-user-gesture-required'] : [])],
  });
}
